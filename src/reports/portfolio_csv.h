#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/currency.h"
#include "store/date_text.h"
#include "store/portfolio.h"

namespace chomaru {

// "stc_2003_8_31.csv": the year, month and day without leading zeros.
// A date that does not exist raises ConversionError.
std::string export_file_name(const Date& today);
// "stc_2003_8_31_tax.csv".
std::string tax_file_name(const Date& today);
// "stc_2003_8_31_year.csv".
std::string year_file_name(const Date& today);

// The message shown when either file has been written into `folder`;
// `replaced` when it took the place of an earlier file of the same name.
std::string report_done_message(const std::string& folder, const std::string& file_name, bool replaced);

// The whole export: every stock with its figures and records, as code page
// 932 bytes with CR LF line ends. Text that code page 932 cannot hold raises
// EncodingError.
std::string portfolio_csv(const Portfolio& portfolio);

// The number fields of one line of either report file, gathered in a small
// buffer and appended to the file text in one piece. Integers are written as
// plain digits with a leading "-"; currency the same, with a decimal point and
// up to four decimals only when it has a fraction.
class NumberFields {
public:
    void put(char c);
    void put(std::string_view text);
    void put_int(int64_t value);
    void put_currency(Currency value);
    // A record's unit price, shares and amount, each after a comma.
    void put_record(const TradeRecord& record);
    void append_to(std::string& out) const { out.append(buffer_.data(), size_); }

private:
    std::array<char, 256> buffer_;
    size_t size_ = 0;
};

// Appends one text field in code page 932. A field holding a comma, a double
// quote or a line break is put in double quotes with inner quotes doubled, so
// that it stays one column in a spreadsheet; any other text is written as it
// is. Raises EncodingError.
void append_csv_field(std::string& out, std::string_view text);

}  // namespace chomaru
