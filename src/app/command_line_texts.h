#pragma once

#include <QString>

namespace chomaru {

// The usage and the mistakes of the command line, which are printed before
// any window: in Japanese for a Japanese locale, in English for any other,
// since a terminal set to another language may not show Japanese at all.
struct CommandLineTexts {
    bool japanese = false;
    QString description;
    QString help;
    QString version;
    QString data_dir;
    QString files;
    QString data_dir_without_folder;
};

// Whether the locale that messages follow is Japanese: the first of
// LC_ALL, LC_MESSAGES and LANG that is set and not empty starts with "ja".
bool japanese_messages(const char* lc_all, const char* lc_messages, const char* lang);

// The texts for the locale of this process.
CommandLineTexts command_line_texts();

}  // namespace chomaru
