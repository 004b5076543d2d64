#pragma once

#include <QString>

namespace chomaru {

class Platform;

// Text typed by the user that the data file could not carry unchanged is
// refused where it is typed: each check shows why (caption "帳丸") and
// returns false, so that the command changes nothing.

// A code or a name: no line break, only characters of code page 932.
bool accept_line_text(Platform& platform, const QString& text);

// A record date: as a code or a name, and also no blank and at most the
// length the data file reads back.
bool accept_date_text(Platform& platform, const QString& text);

}  // namespace chomaru
