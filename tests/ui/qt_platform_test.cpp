#include "ui/qt_platform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QTimer>
#include <cstdlib>
#include <unistd.h>

#include "store/cp932.h"
#include "store/safe_file.h"

namespace chomaru {
namespace {

// The width of the next modal dialog once it is shown; the dialog is then
// closed as with its title bar.
int width_of_next_dialog(const std::function<void()>& open) {
    int width = 0;
    QTimer::singleShot(0, [&width] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        width = dialog->width();
        dialog->close();
    });
    open();
    return width;
}

// A window manager shortens a title wider than its window; the captions of
// prompts and message boxes are their questions and must be read whole.
TEST(QtPlatformDialogs, PromptsAndMessageBoxesAreWideEnoughForTheirWholeCaption) {
    QtPlatform platform;
    QFont title = QApplication::font();
    title.setBold(true);
    const QFontMetrics metrics(title);
    for (const QString& caption :
         {QStringLiteral("どのくらいにしましょう？"), QStringLiteral("銘柄のコードを入れて下さい"),
          QStringLiteral("買いの単価を記入して下さい")}) {
        const int width =
            width_of_next_dialog([&] { platform.input_box(caption, QStringLiteral("例:1234"), QString()); });
        EXPECT_GE(width, metrics.horizontalAdvance(caption) + 120) << caption.toStdString();
    }
    for (const QString& caption : {QStringLiteral("バージョン情報"), QStringLiteral("株式売買の手数料の設定")}) {
        const int width = width_of_next_dialog([&] {
            platform.message_box(QStringLiteral("帳丸\r\n\r\nバージョン1.32"), QMessageBox::Information,
                                 QMessageBox::Ok, caption);
        });
        EXPECT_GE(width, metrics.horizontalAdvance(caption) + 120) << caption.toStdString();
    }
}

namespace fs = std::filesystem;

TEST(QtPlatformFolders, TheDocumentsFolderIsTheBytesUserDirsNames) {
    const fs::path base = fs::temp_directory_path() / ("chomaru-user-dirs-" + std::to_string(getpid()));
    const fs::path home = base / "home";
    const std::string documents = utf8_to_cp932("書類");
    fs::remove_all(base);
    fs::create_directories(base / "config");
    write_file_atomically(base / "config" / "user-dirs.dirs",
                          "# xdg-user-dirs\nXDG_DOCUMENTS_DIR=\"$HOME/" + documents + "\"\nXDG_MUSIC_DIR=\"/srv\"\n");
    const std::string old_home = std::getenv("HOME") ? std::getenv("HOME") : "/";
    setenv("XDG_CONFIG_HOME", (base / "config").c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    const fs::path found = QtPlatform().documents_folder();
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", old_home.c_str(), 1);
    EXPECT_EQ(found, home / documents);
    EXPECT_TRUE(fs::is_directory(home / documents));
    // A relative XDG_CONFIG_HOME is ignored; a relative HOME gives no folder.
    EXPECT_EQ(xdg_documents_folder("config", home), home / "Documents");
    EXPECT_EQ(xdg_documents_folder(nullptr, "home"), fs::path());
    fs::remove_all(base);
}

}  // namespace
}  // namespace chomaru
