// Times whole starts of programs, each from its exec to the end of its first
// paint, which the program reports on its standard output as a line
// "painted <CLOCK_MONOTONIC nanoseconds>" (first_paint.h). What the program
// does after that (its teardown, which the user never sees) is not timed.
//
//   paint_timer ROUNDS NAME=PROGRAM [ARGUMENT...] [-- NAME=PROGRAM ...]
//
// The first program is the floor. The programs run round by round, one of
// each per round in the order given, so that a busy moment of the machine
// falls on all of a round alike. For each program one line is printed:
//
//   NAME <TAB> median ms <TAB> median of the per-round ratios to the floor <TAB> each round's ms
//
// The ratio is the median of the rounds' own ratios, not the ratio of the
// medians: each round compares starts made side by side.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Program {
    std::string name;
    std::vector<char*> argv;
    std::vector<double> ms;
};

long long monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Runs the program once; the milliseconds from just before its start to the
// end of its first paint, or a negative value when it reported none or failed.
double run_once(Program& program) {
    int out[2];
    if (pipe(out) != 0) return -1;
    const long long start = monotonic_ns();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execv(program.argv[0], program.argv.data());
        std::perror(program.argv[0]);
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buffer, size_t(n));
    }
    close(out[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const size_t at = text.find("painted ");
    if (child < 0 || at == std::string::npos || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    const long long painted = std::atoll(text.c_str() + at + 8);
    return double(painted - start) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROUNDS NAME=PROGRAM [ARGUMENT...] [-- NAME=PROGRAM ...]\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) continue;
        if (programs.empty() || std::strcmp(argv[i - 1], "--") == 0) {
            char* equals = std::strchr(argv[i], '=');
            if (!equals) {
                std::fprintf(stderr, "%s: not NAME=PROGRAM\n", argv[i]);
                return 2;
            }
            *equals = '\0';
            programs.push_back({argv[i], {equals + 1}, {}});
        } else {
            programs.back().argv.push_back(argv[i]);
        }
    }
    for (Program& p : programs) {
        p.argv.push_back(nullptr);
        if (run_once(p) < 0) {  // also warms the file cache
            std::fprintf(stderr, "%s reported no first paint\n", p.name.c_str());
            return 1;
        }
    }
    for (int round = 0; round < rounds; ++round)
        for (Program& p : programs) {
            const double ms = run_once(p);
            if (ms < 0) {
                std::fprintf(stderr, "%s reported no first paint\n", p.name.c_str());
                return 1;
            }
            p.ms.push_back(ms);
        }
    const Program& floor = programs.front();
    for (const Program& p : programs) {
        std::vector<double> ratios;
        for (size_t r = 0; r < p.ms.size(); ++r) ratios.push_back(p.ms[r] / floor.ms[r]);
        std::printf("%s\t%.2f\t%.3f\t", p.name.c_str(), median(p.ms), median(ratios));
        for (const double ms : p.ms) std::printf(" %.1f", ms);
        std::printf("\n");
    }
    return 0;
}
