#pragma once

#include <QTranslator>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "app/instance_lock.h"
#include "document/document.h"
#include "ui/qt_platform.h"

class QApplication;

namespace chomaru {

class StockMain;

// Fixes the program's regional settings whatever the machine's locale: C
// number text for the C library, Japanese for Qt, Qt's own Japanese button
// texts and the Japanese gothic font.
void apply_japanese_settings(QApplication& app, QTranslator& translator);

// Takes the one-run lock of the data file, in the folder that really holds
// it: every name of one file (links, "..", two data folders linked to one
// synchronised file, bind mounts) meets the same lock. Only another run
// holding it gives "already running"; any other failure refuses the folder
// with the lock file's name and the reason, so two runs never share one
// data file.
bool take_lock(Platform& platform, std::optional<InstanceLock>& lock, const std::filesystem::path& data_file);

// Loads Qt's own Japanese texts (buttons, the command line's help).
bool load_qt_japanese(QTranslator& translator);

// The program from its QApplication to the shown main window: the Japanese
// regional settings and translations, the one-instance lock, the start-up.
class ChomaruApp {
public:
    explicit ChomaruApp(QApplication& app);
    ~ChomaruApp();

    // Returns false when the program must end: the data folder cannot be
    // written or depends on the folder the program started in, the data
    // file is not a file or leads nowhere and the user quits, the lock cannot
    // be taken, or a data file not read whole could not be kept. `data_dir`
    // is the folder the user asked for, if any; `files` are imported one
    // after the other once the window is up.
    bool open(const std::optional<std::filesystem::path>& data_dir = std::nullopt,
              std::vector<std::filesystem::path> files = {});

    StockMain& window() { return *window_; }

private:
    std::thread font_gathering_;
    QTranslator translator_;
    QtPlatform platform_;
    std::optional<InstanceLock> lock_;
    // The document outlives the window that shows it.
    std::unique_ptr<Document> document_;
    std::unique_ptr<StockMain> window_;
};

}  // namespace chomaru
