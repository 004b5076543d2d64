#include "support/child_process.h"

#include <chrono>
#include <csignal>
#include <exception>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
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

bool run_program_until(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
                       const std::filesystem::path& home, const std::filesystem::path& ready) {
    std::vector<std::string> texts = {executable.native()};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = {"HOME=" + home.native(), "QT_QPA_PLATFORM=offscreen", "PATH=/usr/bin:/bin"};
    std::vector<char*> argv, envp;
    for (std::string& text : texts) argv.push_back(text.data());
    for (std::string& text : environment) envp.push_back(text.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, executable.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return false;
    bool appeared = false;
    for (int tries = 0; tries < 1200 && !appeared; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        appeared = std::filesystem::exists(ready);
    }
    ::kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return appeared;
}

}  // namespace chomaru
