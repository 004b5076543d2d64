#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/portfolio.h"
#include "store/safe_file.h"

namespace chomaru {

inline constexpr const char* data_file_name = "vavo_data.txt";

// Data that the data file cannot carry so that it reads back the same.
struct DataFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class LoadStatus {
    loaded,      // the portfolio holds the file's data
    missing,     // no file
    empty,       // a file without a single line
    unreadable,  // anything the reader cannot take
};

// What a loaded file held that the reader did not take in, or had to change
// to take it in. A file read whole leaves it empty.
struct ReadGaps {
    // Lines after those read (blank lines at the very end aside), and the
    // 1-based number of the first of them.
    size_t lines_left = 0;
    size_t first_line_left = 0;
    // The commission section was missing, short or unreadable; the default
    // table stands in for it.
    bool fee_table_unread = false;
    // Record counts below zero, read as no records.
    int clamped_counts = 0;
    // The selected stock lay outside the stocks; the first one is selected.
    bool selection_clamped = false;
    // The 1-based numbers of the extension lines whose values did not read;
    // their settings keep their defaults.
    std::vector<size_t> unread_settings;

    bool whole() const {
        return lines_left == 0 && !fee_table_unread && clamped_counts == 0 && !selection_clamped &&
               unread_settings.empty();
    }
};

// Reads a data file's bytes into `portfolio`. Unless the result is `loaded`,
// the portfolio holds a first run's data without code and name: one blank
// stock, the default commission table and reserved_line as far as it was read.
// A file that holds a record whose written line the reader could not take
// back is unreadable: it could never be saved again.
LoadStatus parse_data_file(std::string_view bytes, Portfolio& portfolio, ReadGaps& gaps);
LoadStatus parse_data_file(std::string_view bytes, Portfolio& portfolio);

// The data file's bytes; the top bracket's limit, never used, is written as 0. Raises
// DataFileError for text the file cannot carry: a line break in a code, a
// name or a date, a blank in a date, a record line whose blanks lie beyond
// what the reader takes, or characters outside code page 932.
std::string format_data_file(const Portfolio& portfolio);

// The data file as read into a portfolio: how the reading went, the bytes
// (nothing when the file is missing or could not be read) and what was not
// read. Unless loaded, the portfolio holds a first run's data.
struct DataFileRead {
    LoadStatus status = LoadStatus::missing;
    std::optional<std::string> bytes;
    ReadGaps gaps;
};

// Reads the data file into `portfolio`. It works on the file and the data
// only, so it may run on another thread while the window is built.
DataFileRead read_data_file(const std::filesystem::path& file, Portfolio& portfolio);
LoadStatus load_data_file(const std::filesystem::path& file, Portfolio& portfolio);

// Raises DataFileError or SaveError; a failed save leaves the old file intact.
void save_data_file(const std::filesystem::path& file, const Portfolio& portfolio, FileSystem& fs = real_file_system());

// Whether text can be stored as a record's date, or as a code or a name,
// and read back unchanged.
inline constexpr size_t max_date_length = 230;
bool is_storable_date(std::string_view date);
bool is_storable_line(std::string_view text);

}  // namespace chomaru
