#pragma once

#include <functional>
#include <map>
#include <string>

namespace chomaru {

// What a child process saw, as key and value.
using ChildReport = std::map<std::string, std::string>;

// Runs `body` in a forked child, so that mounts in a private namespace and
// dropped privileges stay with the child and vanish with it. An exception
// in the child reports "failed".
ChildReport run_in_child(const std::function<ChildReport()>& body);

}  // namespace chomaru
