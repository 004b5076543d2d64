#include "reports/portfolio_csv.h"

#include <gtest/gtest.h>

#include "store/cp932.h"
#include "store/numbers.h"
#include "support/test_data.h"

namespace chomaru {

namespace {

TEST(PortfolioCsv, WholeExportMatchesTheGoldenFile) {
    const auto p = report_test_portfolio();
    const std::string golden = read_golden("portfolio_export.csv");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(portfolio_csv(*p), golden);
}

TEST(PortfolioCsv, AFieldWithACommaAQuoteOrALineBreakIsQuoted) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"新日鉄", "新日鉄"},
        {"", ""},
        {"A,B", "\"A,B\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"line\nbreak", "\"line\nbreak\""},
        {"トヨタ,自動車", "\"トヨタ,自動車\""},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        append_csv_field(out, c.text);
        EXPECT_EQ(out, "x" + utf8_to_cp932(c.field)) << c.text;
    }
}

TEST(PortfolioCsv, TextThatCodePage932CannotHoldIsAnError) {
    auto p = Portfolio::create();
    p->stocks[0].stock_name = "😀";
    EXPECT_THROW(portfolio_csv(*p), EncodingError);
}

TEST(ReportFileNames, HaveNoLeadingZeros) {
    const struct {
        Date date;
        const char* export_name;
        const char* tax_name;
    } cases[] = {
        {{2003, 8, 31}, "stc_2003_8_31.csv", "stc_2003_8_31_tax.csv"},
        {{2004, 1, 5}, "stc_2004_1_5.csv", "stc_2004_1_5_tax.csv"},
        {{2010, 10, 10}, "stc_2010_10_10.csv", "stc_2010_10_10_tax.csv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(export_file_name(c.date), c.export_name);
        EXPECT_EQ(tax_file_name(c.date), c.tax_name);
    }
    EXPECT_THROW(export_file_name(Date{2003, 2, 30}), ConversionError);
    EXPECT_THROW(tax_file_name(Date{}), ConversionError);
}

TEST(ReportMessages, DoneMessageNamesTheFolderByItsPath) {
    EXPECT_EQ(report_done_message("/home/taro/ドキュメント", "stc_2026_12_7.csv", false),
              "/home/taro/ドキュメントに stc_2026_12_7.csv を作成しました\r\nEXCELで読めます");
    EXPECT_EQ(report_done_message("/home/taro/Documents", "stc_2026_12_7_tax.csv", true),
              "/home/taro/Documentsに stc_2026_12_7_tax.csv を上書きしました\r\nEXCELで読めます");
}

}  // namespace
}  // namespace chomaru
