// Arbitrary text as a date: it is either refused or a real calendar date
// whose short date text reads back to it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "store/data_file.h"
#include "store/date_text.h"
#include "store/numbers.h"

namespace chomaru {
namespace {

void check_short_date(const Date& date) {
    const std::string text = short_date_text(date);
    require(text.size() == 10 && text[4] == '/' && text[7] == '/', "a short date is yyyy/MM/dd");
    require(text_to_date(text) == date, "a short date reads back to its date");
    require(is_storable_date(text), "a short date can be stored in a record");
}

}  // namespace
}  // namespace chomaru

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace chomaru;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Date date;
    try {
        date = text_to_date(text);
    } catch (const ConversionError&) {
        return 0;
    }
    require(is_valid_date(date), "a date read from text exists");
    check_short_date(date);
    return 0;
}
