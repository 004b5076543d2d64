#include "store/date_text.h"

#include <gtest/gtest.h>

#include "store/numbers.h"

namespace chomaru {
namespace {

TEST(DateText, ShortDateHasFourDigitYearAndTwoDigitMonthAndDay) {
    EXPECT_EQ(short_date_text({2003, 8, 1}), "2003/08/01");
    EXPECT_EQ(short_date_text({2026, 12, 31}), "2026/12/31");
}

TEST(DateText, ReadsSlashAndDashForms) {
    EXPECT_EQ(text_to_date("2003/08/01"), (Date{2003, 8, 1}));
    EXPECT_EQ(text_to_date("2003/8/1"), (Date{2003, 8, 1}));
    EXPECT_EQ(text_to_date("2004-1-5"), (Date{2004, 1, 5}));
    EXPECT_EQ(text_to_date(" 2024/02/29 "), (Date{2024, 2, 29}));
    EXPECT_EQ(text_to_date(short_date_text({1999, 12, 31})), (Date{1999, 12, 31}));
}

TEST(DateText, RejectsWhatIsNotADate) {
    for (const char* bad : {"", "abc", "2003/13/01", "2003/02/29", "1900/02/29", "2003/8", "03/08/01", "2003/08-01",
                            "2003/08/01x", "2003/008/01", "2003年8月1日", "2003/0/10"})
        EXPECT_THROW(text_to_date(bad), ConversionError) << bad;
}

TEST(DateText, TheLatestTradeDateIsAYearAfterToday) {
    EXPECT_EQ(latest_trade_date({2026, 12, 7}), (Date{2027, 12, 7}));
    EXPECT_EQ(latest_trade_date({2024, 2, 29}), (Date{2025, 2, 28}));
    EXPECT_EQ(latest_trade_date({2027, 2, 28}), (Date{2028, 2, 28}));
}

TEST(DateText, OrdersByCalendar) {
    EXPECT_LT(text_to_date("2003/1/10"), text_to_date("2003/2/1"));
    EXPECT_LT(text_to_date("2002/12/31"), text_to_date("2003/1/1"));
}

}  // namespace
}  // namespace chomaru
