#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTranslator>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "app/command_line_texts.h"
#include "program_info.h"

namespace chomaru {

namespace {

void print(std::FILE* stream, const QString& text) { std::fputs(text.toUtf8().constData(), stream); }

// The folder of the last --data-dir and the files, as the bytes given. Qt
// reads the arguments as UTF-8, which turns a name in another encoding (a
// Shift_JIS name from an archive made on Windows) into another name; the
// parser still checks the line, and this takes the values it found.
struct ArgumentBytes {
    std::string data_dir;
    std::vector<std::string> files;
};

ArgumentBytes argument_bytes(int argc, char** argv) {
    static constexpr std::string_view option = "--data-dir";
    ArgumentBytes bytes;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!options || argument == "-" || !argument.starts_with('-'))
            bytes.files.emplace_back(argument);
        else if (argument == "--")
            options = false;
        else if (argument == option && i + 1 < argc)
            bytes.data_dir = argv[++i];
        else if (argument.starts_with(option) && argument.size() > option.size() && argument[option.size()] == '=')
            bytes.data_dir = argument.substr(option.size() + 1);
    }
    return bytes;
}

}  // namespace

CommandLine read_command_line(int& argc, char** argv) {
    // A core application parses without a display; the window's application
    // comes after it.
    QCoreApplication::setApplicationName(QStringLiteral("chomaru"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(program_version));
    const QCoreApplication core(argc, argv);
    const CommandLineTexts texts = command_line_texts();
    // Qt's own words in the usage ("Usage:", "Options:") and its mistakes
    // follow the same language.
    QTranslator translator;
    if (texts.japanese && load_qt_japanese(translator)) QCoreApplication::installTranslator(&translator);

    QCommandLineParser parser;
    parser.setApplicationDescription(texts.description);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, texts.help);
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, texts.version);
    const QCommandLineOption data_dir(QStringLiteral("data-dir"), texts.data_dir, QStringLiteral("DIR"));
    parser.addOptions({help, version, data_dir});
    parser.addPositionalArgument(QStringLiteral("FILE.csv"), texts.files, QStringLiteral("[FILE.csv...]"));

    QString mistake;
    if (!parser.parse(QCoreApplication::arguments()))
        mistake = parser.errorText();
    else if (parser.isSet(data_dir) && parser.value(data_dir).isEmpty())
        mistake = texts.data_dir_without_folder;
    if (!mistake.isEmpty()) {
        print(stderr, mistake + QStringLiteral("\n\n") + parser.helpText());
        return {2, std::nullopt, {}};
    }
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        return {0, std::nullopt, {}};
    }
    if (parser.isSet(version)) {
        print(stdout, QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion() +
                          QLatin1Char('\n'));
        return {0, std::nullopt, {}};
    }
    CommandLine line;
    const ArgumentBytes bytes = argument_bytes(argc, argv);
    if (parser.isSet(data_dir)) line.data_dir = std::filesystem::absolute(bytes.data_dir);
    const QStringList files = parser.positionalArguments();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const std::string name =
            bytes.files.size() == size_t(files.size()) ? bytes.files[size_t(i)] : files[i].toStdString();
        line.files.push_back(std::filesystem::absolute(name));
    }
    return line;
}

}  // namespace chomaru
