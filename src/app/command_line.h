#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace chomaru {

// What the command line asks for. Help, the version and a mistake are
// answered on the terminal before any window opens or any data is touched,
// so they need no display.
struct CommandLine {
    // Set when the program ends at once with this status: 0 after the help
    // or the version, 2 after a mistake.
    std::optional<int> exit_status;
    // The folder given by --data-dir, made absolute.
    std::optional<std::filesystem::path> data_dir;
    // The files to import once the main window is up, in the order given,
    // made absolute.
    std::vector<std::filesystem::path> files;
};

CommandLine read_command_line(int& argc, char** argv);

}  // namespace chomaru
