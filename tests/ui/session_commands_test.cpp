// Commands run on a session alone, without a window: what they store and
// which views they say they changed; and the guard around them.
#include <gtest/gtest.h>

#include <stdexcept>

#include "store/numbers.h"
#include "support/scripted_platform.h"
#include "trades/record_deletion.h"
#include "trades/record_editing.h"
#include "ui/command_guard.h"
#include "ui/flex_grid.h"
#include "ui/session.h"
#include "views/main_window.h"
#include "views/stock_commands.h"

namespace chomaru {
namespace {

class SessionCommands : public ::testing::Test {
protected:
    static std::unique_ptr<Portfolio> two_buys() {
        auto data = Portfolio::create();
        z_data_init(*data);
        Stock& s = data->current();
        s.stock_name = "新日鉄";
        s.buys[0] = TradeRecord{"2026/01/05", 100, 10, Currency::from_yen(1000)};
        s.buys[1] = TradeRecord{"2026/01/06", 200, 10, Currency::from_yen(2000)};
        s.buy_count = 2;
        return data;
    }
    void expect_message(const QString& text) {
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, text);
        EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
        EXPECT_EQ(platform.messages[0].caption, "帳丸");
    }

    ScriptedPlatform platform;
    Document document{two_buys()};
    Session session{document, platform};
};

TEST_F(SessionCommands, EachCommandNamesTheViewsItChanged) {
    platform.answer("1");
    del_kai_fig_click(session);
    EXPECT_EQ(session.stock().buy_count, 1);
    EXPECT_EQ(session.take_changes(),
              View::analysis | View::trade_grids | View::buy_records | View::sell_records | View::ratio_table);
    EXPECT_EQ(session.take_changes(), Views());

    platform.answer("7");
    change_haitou_click(session);
    EXPECT_EQ(session.take_changes(), View::stock_info | View::analysis);

    platform.answer("2026/02/01");
    buy_fig_dbl_click(session, 1, 1);
    EXPECT_EQ(session.stock().buys[0].date, "2026/02/01");
    EXPECT_EQ(session.take_changes(), View::buy_records | View::analysis | View::ratio_table);

    platform.answer("ソニー");
    change_name_click(session);
    EXPECT_EQ(session.take_changes(), View::stock_info | View::selector);
}

TEST_F(SessionCommands, TheRecordEditOffersTheStoredValueWithoutAWindow) {
    platform.answer("¥250");
    buy_fig_dbl_click(session, 2, 2);
    EXPECT_EQ(platform.prompts.at(0).default_text, "200");
    EXPECT_EQ(session.stock().buys[1].price, 250);
    EXPECT_EQ(session.take_changes(), View::buy_records | View::analysis | View::ratio_table);
}

TEST_F(SessionCommands, AFailedCommandChangesNoViewBeforeItStores) {
    platform.answer("abc");
    del_kai_fig_click(session);
    expect_message("半角数字でお願いします");
    EXPECT_EQ(session.take_changes(), Views());
    EXPECT_EQ(session.stock().buy_count, 2);
}

TEST_F(SessionCommands, TheGuardTellsTypedNumbersFromFaultsOfTheProgram) {
    const struct {
        std::function<void()> command;
        QString message;
    } cases[] = {
        {[] { throw ConversionError("not a number"); }, "半角数字でお願いします"},
        {[] { throw OverflowError("too large"); }, "半角数字でお願いします"},
        {[] { throw std::out_of_range("vector::at"); }, program_fault_message},
        {[] { throw std::logic_error("broken"); }, program_fault_message},
    };
    for (const auto& c : cases) {
        platform.messages.clear();
        run_guarded(platform, c.command);
        expect_message(c.message);
    }
}

// A record whose figures would overflow is not stored: the change is
// undone whole, the grid keeps the old value and the message is shown.
TEST(SessionInAWindow, AChangeThatCannotBeAppliedLeavesTheDataAndTheGridAsTheyWere) {
    ScriptedPlatform platform;
    auto data = Portfolio::create();
    z_data_init(*data);
    Stock& s = data->current();
    s.buys[0] = TradeRecord{"2026/01/05", 100, 2147483000, Currency::from_yen(1000)};
    s.buys[1] = TradeRecord{"2026/01/06", 100, 10, Currency::from_yen(1000)};
    s.buy_count = 2;
    Document document(std::move(data));
    StockMain window(platform);
    window.setup_buy_grid();
    window.attach(document);
    window.show_buy_records();

    platform.answer("1000");
    emit window.buy_fig->double_clicked(2, 3);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "半角数字でお願いします");
    EXPECT_EQ(document.selected().buys[1].shares, 10);
    EXPECT_EQ(window.buy_fig->text(2, 3), "10");
    EXPECT_FALSE(document.can_undo());
}

}  // namespace
}  // namespace chomaru
