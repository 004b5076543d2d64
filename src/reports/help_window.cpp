#include "reports/help_window.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include "program_info.h"
#include "ui/platform.h"
#include "ui/window_places.h"

namespace chomaru {

std::vector<std::filesystem::path> help_file_places(const std::filesystem::path& program_folder) {
    if (program_folder.empty()) return {};
    return {program_folder / "chomaru.html",
            (program_folder / help_folder_from_program / "chomaru.html").lexically_normal()};
}

void show_help_window(QWidget& owner, const std::filesystem::path& file, Platform& platform) {
    auto* window = owner.findChild<QWidget*>(QStringLiteral("help_window"), Qt::FindDirectChildrenOnly);
    if (!window) {
        // A dialog's window stays above its owner, also when it comes up
        // after the desktop's opener has failed.
        window = new QWidget(&owner, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
        window->setObjectName(QStringLiteral("help_window"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QStringLiteral("動作説明"));
        auto* browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("help_text"));
        browser->setOpenExternalLinks(true);
        browser->setSource(file_url(file));
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        window->resize(760, 640);
        open_over_parent(*window, platform, "help");
        close_on_escape(*window);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace chomaru
