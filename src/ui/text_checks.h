#pragma once

#include <QString>
#include <optional>
#include <string>

#include "store/date_text.h"

namespace chomaru {

class Platform;

// Text typed by the user that the data file could not carry unchanged is
// refused where it is typed: each check shows why (caption "帳丸") and
// returns nothing, so that the command changes nothing. Accepted text comes
// back as the data file holds it, input method forms taken as code page 932
// holds them (store/typed_text.h).

// A code or a name: no line break, only characters of code page 932. The
// yen sign U+00A5 is taken as the full-width yen sign.
std::optional<QString> accept_line_text(Platform& platform, const QString& text);

// A trade date typed as yyyy/mm/dd, yyyy/m/d, yyyy-mm-dd or yyyymmdd, in
// half-width or full-width digits, that is a real date from 1970/01/01 to one
// year after today.
std::optional<Date> accept_trade_date(Platform& platform, const QString& text);

// Typed text for a number conversion, full-width digits, signs and
// separators read as their half-width forms (half_width_number_text).
std::string number_text(const QString& typed);

}  // namespace chomaru
