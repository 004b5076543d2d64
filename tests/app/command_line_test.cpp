#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <algorithm>
#include <filesystem>
#include <unistd.h>

#include "app/command_line_texts.h"

namespace chomaru {
namespace {

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

// The program itself, as packaging tools call it: no display, an empty home,
// no locale but the settings given ("LANG=C").
Finished run_program(const QStringList& arguments, const std::filesystem::path& home, const QStringList& locale = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME", "LC_ALL", "LC_MESSAGES", "LANG"})
        environment.remove(name);
    for (const QString& setting : locale)
        environment.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(home.string()));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CHOMARU_EXECUTABLE), arguments);
    if (!process.waitForFinished(20000)) process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

TEST(CommandLine, HelpVersionAndMistakesAreAnsweredWithoutADisplayOrTheData) {
    const auto home = std::filesystem::temp_directory_path() / ("chomaru-command-line-" + std::to_string(getpid()));
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);

    const Finished help = run_program({QStringLiteral("--help")}, home);
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--data-dir <DIR>"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("[FILE.csv...]"))) << help.out.toStdString();
    EXPECT_EQ(help.err, "");

    const Finished version = run_program({QStringLiteral("--version")}, home);
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^chomaru \\d+\\.\\d+\\n$")).match(version.out).hasMatch())
        << version.out.toStdString();

    for (const QStringList& mistake :
         {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("--data-dir")},
          QStringList{QStringLiteral("a.csv"), QStringLiteral("--data-dir")}}) {
        const Finished wrong = run_program(mistake, home);
        EXPECT_EQ(wrong.status, 2) << mistake.join(' ').toStdString();
        EXPECT_EQ(wrong.out, "");
        EXPECT_TRUE(wrong.err.contains(QStringLiteral("--data-dir <DIR>"))) << wrong.err.toStdString();
    }
    EXPECT_TRUE(std::filesystem::is_empty(home)) << "nothing is written for the user";
    std::filesystem::remove_all(home);
}

bool is_ascii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

TEST(CommandLine, HelpAndMistakesAreInEnglishUnlessTheLocaleIsJapanese) {
    const auto home = std::filesystem::temp_directory_path() / ("chomaru-help-language-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    const Finished english = run_program({QStringLiteral("--help")}, home, {QStringLiteral("LANG=C")});
    EXPECT_TRUE(is_ascii(english.out) && english.out.contains(QStringLiteral("--data-dir <DIR>")))
        << english.out.toStdString();
    const Finished mistake = run_program({QStringLiteral("--bogus")}, home, {QStringLiteral("LANG=en_US.UTF-8")});
    EXPECT_EQ(mistake.status, 2);
    EXPECT_TRUE(is_ascii(mistake.err) && mistake.err.contains(QStringLiteral("bogus"))) << mistake.err.toStdString();
    const Finished japanese = run_program({QStringLiteral("--help")}, home, {QStringLiteral("LANG=ja_JP.UTF-8")});
    EXPECT_TRUE(!is_ascii(japanese.out) && japanese.out.contains(QStringLiteral("--data-dir <DIR>")))
        << japanese.out.toStdString();
    std::filesystem::remove_all(home);
}

TEST(CommandLine, MessagesFollowTheFirstLocaleSettingThatIsSet) {
    const struct {
        const char* lc_all;
        const char* lc_messages;
        const char* lang;
        bool japanese;
    } cases[] = {
        {nullptr, nullptr, "ja_JP.UTF-8", true},
        {nullptr, nullptr, "ja", true},
        {nullptr, nullptr, "C", false},
        {nullptr, nullptr, "en_US.UTF-8", false},
        {nullptr, nullptr, nullptr, false},
        {"ja_JP.UTF-8", nullptr, "en_US.UTF-8", true},
        {"C.UTF-8", nullptr, "ja_JP.UTF-8", false},
        {nullptr, "C", "ja_JP.UTF-8", false},
        {nullptr, "ja_JP.eucJP", "C", true},
        {"", "", "ja_JP.UTF-8", true},
        {nullptr, nullptr, "de_DE.UTF-8", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(japanese_messages(c.lc_all, c.lc_messages, c.lang), c.japanese)
            << (c.lc_all ? c.lc_all : "-") << ' ' << (c.lc_messages ? c.lc_messages : "-") << ' '
            << (c.lang ? c.lang : "-");
}

}  // namespace
}  // namespace chomaru
