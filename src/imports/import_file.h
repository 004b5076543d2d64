#pragma once

#include <filesystem>
#include <string>

#include "store/date_text.h"

namespace chomaru {

// A broker's file as the import takes it: its bytes, and the day it was
// last changed, which dates the prices of a holdings list that gives none.
struct ImportFile {
    std::string bytes;
    Date modified;
};

// Reads a file chosen for the import. Raises ImportError with the reason in
// Japanese, before reading a byte where it can: a file that is missing, not
// a regular file ("フォルダです"), over the size limit, or not readable.
ImportFile read_import_file(const std::filesystem::path& file);

}  // namespace chomaru
