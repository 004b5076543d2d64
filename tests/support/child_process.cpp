#include "support/child_process.h"

#include <exception>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace chomaru {

ChildReport run_in_child(const std::function<ChildReport()>& body) {
    int fds[2];
    if (pipe(fds) != 0) return {{"failed", "pipe"}};
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return {{"failed", "fork"}};
    }
    if (pid == 0) {
        close(fds[0]);
        ChildReport report;
        try {
            report = body();
        } catch (const std::exception& e) {
            report = {{"failed", e.what()}};
        }
        std::string text;
        for (const auto& [key, value] : report) text += key + "=" + value + "\n";
        for (size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(fds[1], text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += size_t(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ChildReport report;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) report[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return report;
}

}  // namespace chomaru
