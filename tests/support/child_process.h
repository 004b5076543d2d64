#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace chomaru {

// What a child process saw, as key and value.
using ChildReport = std::map<std::string, std::string>;

// Runs `body` in a forked child, so that mounts in a private namespace and
// dropped privileges stay with the child and vanish with it. An exception
// in the child reports "failed".
ChildReport run_in_child(const std::function<ChildReport()>& body);

// Runs the program with its arguments as bytes, whatever their encoding, on
// Qt's offscreen platform with `home` as its home folder, until `ready`
// exists; then ends it as the end of a desktop session does (SIGTERM).
// Returns whether `ready` appeared within a minute.
bool run_program_until(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
                       const std::filesystem::path& home, const std::filesystem::path& ready);

}  // namespace chomaru
