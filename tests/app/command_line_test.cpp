#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <filesystem>
#include <unistd.h>

namespace chomaru {
namespace {

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

// The program itself, as packaging tools call it: no display, an empty home.
Finished run_program(const QStringList& arguments, const std::filesystem::path& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
        environment.remove(name);
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
    EXPECT_EQ(help.err, "");

    const Finished version = run_program({QStringLiteral("--version")}, home);
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^chomaru \\d+\\.\\d+\\n$")).match(version.out).hasMatch())
        << version.out.toStdString();

    for (const QStringList& mistake : {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("extra")},
                                       QStringList{QStringLiteral("--data-dir")}}) {
        const Finished wrong = run_program(mistake, home);
        EXPECT_EQ(wrong.status, 2) << mistake.join(' ').toStdString();
        EXPECT_EQ(wrong.out, "");
        EXPECT_TRUE(wrong.err.contains(QStringLiteral("--data-dir <DIR>"))) << wrong.err.toStdString();
    }
    EXPECT_TRUE(std::filesystem::is_empty(home)) << "nothing is written for the user";
    std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace chomaru
