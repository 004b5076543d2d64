#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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
            s.buys[size_t(i)] = TradeRecord{"2003/08/01", 1000 + i, 100 * (version + 1), Currency::from_units(i * 10001)};
        for (int32_t i = 0; i < s.sell_count; ++i)
            s.sells[size_t(i)] = TradeRecord{"2004/01/05", 2000 + i + version, 50, Currency::from_units(i * 7 + version)};
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

TEST(CrashSave, AKilledSaveLeavesTheOldFileOrTheNewOneComplete) {
    const fs::path folder = fs::temp_directory_path() / ("chomaru-crash-save-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path file = folder / data_file_name;

    std::unique_ptr<Portfolio> versions[] = {large_portfolio(0), large_portfolio(1)};
    const std::string bytes[] = {format_data_file(*versions[0]), format_data_file(*versions[1])};
    ASSERT_NE(bytes[0], bytes[1]);

    // One uninterrupted save in a child gives the span to kill within.
    save_data_file(file, *versions[0]);
    int current = 0;
    const auto started = Clock::now();
    const pid_t first = start_save(file, *versions[1]);
    ASSERT_GT(first, 0);
    int status = 0;
    ASSERT_EQ(waitpid(first, &status, 0), first);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto save_time = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
    ASSERT_EQ(read_whole_file(file).value(), bytes[1]);
    current = 1;

    std::mt19937 rng(20240229);
    std::uniform_int_distribution<long> delay(0, save_time.count() * 5 / 4);
    int kills = 0;
    int kept_old = 0;
    int wrote_new = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while ((kills < 100 && Clock::now() < deadline) || kills < 12) {
        const int next = 1 - current;
        const pid_t pid = start_save(file, *versions[next]);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        kill(pid, SIGKILL);
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ++kills;

        const std::string content = read_whole_file(file).value();
        if (content == bytes[next]) {
            ++wrote_new;
            current = next;
        } else {
            ASSERT_EQ(content, bytes[current]) << "after kill " << kills << ": neither the old file nor the new one";
            ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a finished save left the old file";
            ++kept_old;
        }
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            const bool temporary = name.starts_with(".") && name.ends_with(".tmp");
            EXPECT_TRUE(name == data_file_name || temporary) << name;
        }
    }
    std::printf("save of %zu bytes took %lld us; %d kills: %d kept the old file, %d found the new one\n",
                bytes[0].size(), static_cast<long long>(save_time.count()), kills, kept_old, wrote_new);
    EXPECT_GT(kept_old, 0);

    // The next save after the kills completes normally.
    save_data_file(file, *versions[0]);
    EXPECT_EQ(read_whole_file(file).value(), bytes[0]);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace chomaru
