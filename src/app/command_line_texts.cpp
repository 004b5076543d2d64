#include "app/command_line_texts.h"

#include <cstdlib>
#include <string_view>

namespace chomaru {

bool japanese_messages(const char* lc_all, const char* lc_messages, const char* lang) {
    for (const char* value : {lc_all, lc_messages, lang})
        if (value && *value) return std::string_view(value).starts_with("ja");
    return false;
}

CommandLineTexts command_line_texts() {
    if (japanese_messages(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")))
        return {true,
                QStringLiteral("帳丸：同じ銘柄の分割売買を記録する株式の帳簿"),
                QStringLiteral("この使い方を表示して終了します。"),
                QStringLiteral("バージョンを表示して終了します。"),
                QStringLiteral("データファイル vavo_data.txt を置くフォルダ。"),
                QStringLiteral("取り込む取引履歴または保有一覧の CSV ファイル（いくつでも）。"
                               "画面が開いてから、1 つずつ内容を確かめて取り込みます。"),
                QStringLiteral("--data-dir にフォルダが指定されていません。")};
    return {false,
            QStringLiteral("chomaru: ledger for buying and selling the same stock in several lots"),
            QStringLiteral("Show this help and exit."),
            QStringLiteral("Show the version and exit."),
            QStringLiteral("The folder that holds the data file vavo_data.txt."),
            QStringLiteral("Trade histories or holdings lists (CSV) to import, any number: once the window "
                           "is up, each is previewed and imported in turn."),
            QStringLiteral("--data-dir needs a folder.")};
}

}  // namespace chomaru
