#include "app/program_identity.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPixmap>
#include <future>
#include <utility>

#include "program_info.h"

namespace chomaru {

namespace {

// The icon's drawings, one image a size. Image reading only, so it may run
// on another thread than the windows'.
QList<QImage> read_drawings() {
    QList<QImage> drawings;
    const QDir drawn(QStringLiteral(":/icons"));
    for (const QString& size : drawn.entryList()) {
        QImageReader reader(drawn.filePath(size), "png");
        reader.setAutoDetectImageFormat(false);
        drawings.append(reader.read());
    }
    return drawings;
}

// The program's icon, its drawings read on another thread while the program
// starts. The icon waits for them only when a window first asks for its
// picture; from then on it is an ordinary icon of those drawings.
class DrawnIcon : public QIconEngine {
public:
    explicit DrawnIcon(std::shared_future<QList<QImage>> drawings) : drawings_(std::move(drawings)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new DrawnIcon(drawings_); }

private:
    const QIcon& icon() {
        if (!made_) {
            for (const QImage& drawing : drawings_.get()) icon_.addPixmap(QPixmap::fromImage(drawing));
            made_ = true;
        }
        return icon_;
    }

    std::shared_future<QList<QImage>> drawings_;
    QIcon icon_;
    bool made_ = false;
};

}  // namespace

void set_program_identity(QGuiApplication& app) {
    app.setWindowIcon(QIcon(new DrawnIcon(std::async(std::launch::async, read_drawings).share())));
    app.setDesktopFileName(QString::fromLatin1(desktop_id));
}

}  // namespace chomaru
