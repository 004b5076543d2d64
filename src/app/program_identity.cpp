#include "app/program_identity.h"

#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>

#include "program_info.h"

namespace chomaru {

namespace {

void set_program_icon(QGuiApplication& app) {
    QIcon icon;
    const QDir drawn(QStringLiteral(":/icons"));
    for (const QString& size : drawn.entryList()) icon.addFile(drawn.filePath(size));
    app.setWindowIcon(icon);
}

// Reading the icon's drawings takes longer than anything else before the
// first window is drawn, and a window manager takes a window's icon at any
// time: so the icon is read once the first window has painted, whichever
// window that is (the main window, or a question asked before it).
class IconAfterFirstPaint : public QObject {
public:
    explicit IconAfterFirstPaint(QGuiApplication& app) : QObject(&app), app_(app) { app.installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            app_.removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                set_program_icon(app_);
                deleteLater();
            });
        }
        return false;
    }

private:
    QGuiApplication& app_;
};

}  // namespace

void set_program_identity(QGuiApplication& app) {
    new IconAfterFirstPaint(app);
    app.setDesktopFileName(QString::fromLatin1(desktop_id));
}

}  // namespace chomaru
