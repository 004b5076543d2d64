#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "document/document.h"
#include "store/data_file.h"

namespace chomaru {

class StockMain;
class Platform;

std::filesystem::path data_file_path(Platform& platform);

// Start-up: lays out the grids, reads the data file into `data` (or runs
// the first run), makes it the document the window shows and fills the
// views; from then on every change updates the recovery file and closing
// the window saves. When the last run ended without saving, its data is
// offered from the recovery file first. An unreadable file is first copied
// aside under a name that carries the date and time. Returns nothing when
// the program must end without showing the window (the unreadable file
// could not be kept).
std::unique_ptr<Document> start_up(StockMain& window, std::unique_ptr<Portfolio> data);
// The same with the data file already read into `data`.
std::unique_ptr<Document> start_up(StockMain& window, std::unique_ptr<Portfolio> data, DataFileRead read);

// The first run: the welcome window, then the code and the name of a first
// stock. Text the data file could not carry is refused and left empty; the
// stock can be renamed later.
void first_run(StockMain& window, Document& document);

enum class Shutdown { saved, saved_elsewhere, discarded, stay_open };

// Shutdown: writes the data file. When that fails the user may retry, save
// to another file, discard the changes after a confirmation, or go back to
// the program (stay_open).
Shutdown shut_down(StockMain& window);

}  // namespace chomaru
