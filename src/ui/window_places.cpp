#include "ui/window_places.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTabWidget>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "ui/platform.h"

namespace chomaru {

namespace {

const QString main_geometry = QStringLiteral("main/geometry");
const QString main_tab = QStringLiteral("main/tab");

// The rectangle moved (and made smaller when it must) to lie whole in `room`.
QRect within(QRect rect, const QRect& room) {
    rect.setSize(rect.size().boundedTo(room.size()));
    rect.moveLeft(std::clamp(rect.left(), room.left(), room.right() + 1 - rect.width()));
    rect.moveTop(std::clamp(rect.top(), room.top(), room.bottom() + 1 - rect.height()));
    return rect;
}

// Keeps a window's size and its place relative to its parent when it hides.
class PlaceKeeper : public QObject {
public:
    PlaceKeeper(QWidget& window, Platform& platform, const char* name)
        : QObject(&window), platform_(platform), key_(QString::fromLatin1(name)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Hide && window->isWindow()) {
            const std::unique_ptr<QSettings> settings = platform_.settings();
            if (settings && window->parentWidget()) {
                settings->setValue(key_ + QStringLiteral("/size"), window->size());
                settings->setValue(key_ + QStringLiteral("/offset"), window->pos() - window->parentWidget()->pos());
            }
        }
        return false;
    }

private:
    Platform& platform_;
    QString key_;
};

}  // namespace

void restore_main_window(QWidget& window, QTabWidget& tabs, Platform& platform) {
    const std::unique_ptr<QSettings> settings = platform.settings();
    if (!settings) return;
    window.restoreGeometry(settings->value(main_geometry).toByteArray());
    const int tab = settings->value(main_tab, 0).toInt();
    if (tab >= 0 && tab < tabs.count()) tabs.setCurrentIndex(tab);
}

void keep_main_window(const QWidget& window, const QTabWidget& tabs, Platform& platform) {
    const std::unique_ptr<QSettings> settings = platform.settings();
    if (!settings) return;
    settings->setValue(main_geometry, window.saveGeometry());
    settings->setValue(main_tab, tabs.currentIndex());
}

void open_over_parent(QWidget& window, Platform& platform, const char* name) {
    QWidget* parent = window.parentWidget();
    const std::unique_ptr<QSettings> settings = platform.settings();
    if (parent) {
        const QString key = QString::fromLatin1(name);
        QSize size = window.size();
        QPoint place = parent->frameGeometry().center() - QPoint(size.width() / 2, size.height() / 2);
        if (settings && settings->contains(key + QStringLiteral("/size"))) {
            if (window.minimumSize() != window.maximumSize())
                size = settings->value(key + QStringLiteral("/size")).toSize().expandedTo(window.minimumSize());
            place = parent->pos() + settings->value(key + QStringLiteral("/offset")).toPoint();
        }
        const QScreen* screen = parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
        const QRect placed = screen ? within(QRect(place, size), screen->availableGeometry()) : QRect(place, size);
        window.resize(placed.size().expandedTo(window.minimumSize()));
        window.move(placed.topLeft());
    }
    window.installEventFilter(new PlaceKeeper(window, platform, name));
}

void close_on_escape(QWidget& window) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, &window, &QWidget::close);
}

}  // namespace chomaru
