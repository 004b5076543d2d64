#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "store/data_file.h"
#include "store/safe_file.h"

namespace chomaru {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A portfolio of about a megabyte; `version` changes every value so that
// two versions differ all through the file.
std::unique_ptr<Portfolio> large_portfolio(int version) {
    auto p = Portfolio::create();
    p->fees = FeeTable::defaults();
    p->last_stock = 127;
    for (int32_t j = 0; j <= p->last_stock; ++j) {
        Stock& s = p->stocks[size_t(j)];
        s.stock_code = std::to_string(1000 + j);
        s.stock_name = "銘柄" + std::to_string(j) + (version == 0 ? " 旧" : " 新しい版");
        s.dividend = version + j;
        s.buy_count = 100 + version;
        s.sell_count = 90;
        s.realized_profit = Currency::from_units(j * 12345 + version);
        for (int32_t i = 0; i < s.buy_count; ++i)
            s.buys[size_t(i)] =
                TradeRecord{"2003/08/01", 1000 + i, 100 * (version + 1), Currency::from_units(i * 10001)};
        for (int32_t i = 0; i < s.sell_count; ++i)
            s.sells[size_t(i)] =
                TradeRecord{"2004/01/05", 2000 + i + version, 50, Currency::from_units(i * 7 + version)};
    }
    return p;
}

pid_t start_save(const fs::path& file, Portfolio& portfolio) {
    const pid_t pid = fork();
    if (pid == 0) {
        try {
            save_data_file(file, portfolio);
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    return pid;
}

// Name, size, change time and inode of every file in the folder.
using Snapshot = std::vector<std::tuple<std::string, off_t, long, long, ino_t>>;

Snapshot snapshot(const fs::path& folder) {
    Snapshot files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        struct stat st {};
        if (::stat(entry.path().c_str(), &st) != 0) continue;
        files.emplace_back(entry.path().filename().string(), st.st_size, long(st.st_mtim.tv_sec),
                           long(st.st_mtim.tv_nsec), st.st_ino);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Waits until the save first touches the folder; false when the child ended
// before that (its status is then in `status`).
bool wait_for_first_write(const fs::path& folder, const Snapshot& before, pid_t pid, int& status) {
    for (;;) {
        if (snapshot(folder) != before) return true;
        if (waitpid(pid, &status, WNOHANG) == pid) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
}

long micros_since(Clock::time_point start) {
    return long(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count());
}

TEST(CrashSave, AKilledSaveLeavesTheOldFileOrTheNewOneComplete) {
    const fs::path folder = fs::temp_directory_path() / ("chomaru-crash-save-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path file = folder / data_file_name;

    std::unique_ptr<Portfolio> versions[] = {large_portfolio(0), large_portfolio(1)};
    const std::string bytes[] = {format_data_file(*versions[0]), format_data_file(*versions[1])};
    ASSERT_NE(bytes[0], bytes[1]);

    // One uninterrupted save in a child measures the whole save and the
    // part of it that writes to the folder.
    save_data_file(file, *versions[0]);
    int status = 0;
    const auto started = Clock::now();
    const Snapshot before = snapshot(folder);
    const pid_t first = start_save(file, *versions[1]);
    ASSERT_GT(first, 0);
    ASSERT_TRUE(wait_for_first_write(folder, before, first, status));
    const auto writing = Clock::now();
    ASSERT_EQ(waitpid(first, &status, 0), first);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const long save_time = micros_since(started);
    const long write_time = micros_since(writing);
    ASSERT_EQ(read_whole_file(file).value(), bytes[1]);
    int current = 1;

    // Half of the kills fall anywhere in the save, half while it writes,
    // where a careless save would leave a cut or empty file: as many in each
    // tenfold span of time after the first write, so that the first
    // microseconds, when a file would be cut, get their share.
    std::mt19937 rng(20240229);
    std::uniform_int_distribution<long> anywhere(0, save_time * 5 / 4);
    std::uniform_real_distribution<double> log_delay(0.0, std::log(double(write_time) * 1.25 + 1.0));
    auto while_writing = [&]() { return long(std::exp(log_delay(rng))); };
    int kills = 0;
    int kept_old = 0;
    int wrote_new = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while ((kills < 100 && Clock::now() < deadline) || kills < 16) {
        const int next = 1 - current;
        const Snapshot unchanged = snapshot(folder);
        const pid_t pid = start_save(file, *versions[next]);
        ASSERT_GT(pid, 0);
        bool running = true;
        if (kills % 2 == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(anywhere(rng)));
        } else if ((running = wait_for_first_write(folder, unchanged, pid, status))) {
            std::this_thread::sleep_for(std::chrono::microseconds(while_writing()));
        }
        if (running) {
            kill(pid, SIGKILL);
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
        }
        ++kills;

        const std::string content = read_whole_file(file).value();
        if (content == bytes[next]) {
            ++wrote_new;
            current = next;
        } else {
            ASSERT_EQ(content.size(), bytes[current].size()) << "kill " << kills << " left a cut file";
            ASSERT_TRUE(content == bytes[current]) << "kill " << kills << " left neither the old file nor the new one";
            ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a finished save left the old file";
            ++kept_old;
        }
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            const bool temporary = name.starts_with(".") && name.ends_with(".tmp");
            EXPECT_TRUE(name == data_file_name || temporary) << name;
        }
    }
    std::printf("save of %zu bytes: %ld us, writing %ld us; %d kills: %d kept the old file, %d found the new one\n",
                bytes[0].size(), save_time, write_time, kills, kept_old, wrote_new);
    EXPECT_GT(kept_old, 0);

    // The next save after the kills completes normally.
    save_data_file(file, *versions[0]);
    EXPECT_EQ(read_whole_file(file).value(), bytes[0]);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace chomaru
