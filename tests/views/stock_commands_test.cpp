#include "views/stock_commands.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>

#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

class StockCommands : public MainWindowTest {
protected:
    void expect_prompt(size_t i, const QString& caption, const QString& message) {
        ASSERT_LT(i, platform.prompts.size());
        EXPECT_EQ(platform.prompts[i].caption, caption);
        EXPECT_EQ(platform.prompts[i].message, message);
        EXPECT_EQ(platform.prompts[i].default_text, "");
    }
    QStringList combo_items() const {
        QStringList items;
        for (int i = 0; i < window->Combo1->count(); ++i) items << window->Combo1->itemText(i);
        return items;
    }
};

using NewStock = StockCommands;
using StockSelector = StockCommands;
using StockChanges = StockCommands;

TEST_F(NewStock, CodeAndNameRegisterAnEmptyStockShownEverywhere) {
    start_with_stock();
    stock().buys[0] = TradeRecord{"2026/01/05", 100, 10, Currency::from_yen(1000)};
    stock().buy_count = 1;
    stock().avg_buy_price = 100;
    window->show_buy_records();
    window->show_ratio_table();

    platform.answer("6758").answer("ソニー");
    window->new_name_key->click();
    expect_prompt(0, "銘柄のコードを入れて下さい", "例:1234");
    expect_prompt(1, "銘柄を入れて下さい", "例:新日鉄");
    EXPECT_EQ(portfolio->last_stock, 1);
    EXPECT_EQ(portfolio->current_stock, 1);
    EXPECT_EQ(stock().stock_code, "6758");
    EXPECT_EQ(stock().stock_name, "ソニー");
    EXPECT_EQ(stock().buy_count, 0);
    EXPECT_EQ(column(window->infor_fig, 1), (QStringList{"6758", "ソニー", "0"}));
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"0", "¥0", "¥0", "0.00%"}));
    EXPECT_EQ(window->sample_fig_1->text(0, 1), "¥0");
    EXPECT_EQ(window->buy_fig->text(1, 1), "");
    EXPECT_EQ(combo_items(), (QStringList{"新日鉄", "ソニー"}));
    EXPECT_EQ(window->Combo1->currentIndex(), 1);
    EXPECT_EQ(portfolio->stocks[0].buy_count, 1);
}

TEST_F(NewStock, AWaveDashFromAnInputMethodIsStoredAsCodePage932HoldsIt) {
    start_with_stock();
    platform.answer("\u00A55401").answer("東京\u301C大阪");
    window->new_name_key->click();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(stock().stock_code, "￥5401");
    EXPECT_EQ(stock().stock_name, "東京～大阪");
    EXPECT_EQ(combo_items(), (QStringList{"新日鉄", "東京～大阪"}));
}

TEST_F(NewStock, AnEmptyCodeIsAcceptedAnEmptyNameRegistersNothing) {
    start_with_stock();
    platform.cancel().answer("トヨタ");
    window->new_name_key->click();
    EXPECT_EQ(portfolio->last_stock, 1);
    EXPECT_EQ(stock().stock_code, "");
    EXPECT_EQ(stock().stock_name, "トヨタ");

    for (bool cancel : {true, false}) {
        platform.answer("7203");
        if (cancel)
            platform.cancel();
        else
            platform.answer("");
        window->new_name_key->click();
        EXPECT_EQ(portfolio->last_stock, 1);
        EXPECT_EQ(portfolio->current_stock, 1);
        EXPECT_EQ(combo_items(), (QStringList{"新日鉄", "トヨタ"}));
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(NewStock, TheTwoHundredFiftySixthIsRegisteredTheNextIsRefusedBeforeThePrompts) {
    start_with_stock();
    portfolio->last_stock = max_stocks - 2;
    platform.answer("9999").answer("最後");
    window->new_name_key->click();
    EXPECT_EQ(portfolio->last_stock, 255);
    EXPECT_EQ(portfolio->current_stock, 255);

    portfolio->current_stock = 3;
    platform.prompts.clear();
    window->new_name_key->click();
    EXPECT_TRUE(platform.prompts.empty());
    expect_one_message("銘柄は256までしか登録できません");
    EXPECT_EQ(portfolio->last_stock, 255);
    EXPECT_EQ(portfolio->current_stock, 3);
    EXPECT_EQ(portfolio->stocks[255].stock_name, "最後");
}

TEST_F(NewStock, ACodeOrNameTheDataFileCouldNotCarryIsRefused) {
    start_with_stock();
    platform.answer("12\r\n34");
    window->new_name_key->click();
    expect_one_message("改行は使えません");
    EXPECT_EQ(platform.prompts.size(), 1u);

    platform.messages.clear();
    platform.answer("1234").answer("삼성");
    window->new_name_key->click();
    expect_one_message("使えない文字が含まれています：삼성");
    EXPECT_EQ(portfolio->last_stock, 0);
    EXPECT_EQ(stock().stock_name, "新日鉄");
}

TEST_F(StockSelector, ChoosingAnItemShowsThatStockWithItsRecords) {
    start_with_stock();
    portfolio->last_stock = 2;
    for (int i = 1; i <= 2; ++i) {
        Stock& s = portfolio->stocks[size_t(i)];
        s.stock_code = std::to_string(i);
        s.stock_name = "同名";
        s.avg_buy_price = 1000 * i;
        s.held_shares = 10 * i;
    }
    Stock& third = portfolio->stocks[2];
    for (int k = 0; k < 20; ++k) third.buys[size_t(k)] = TradeRecord{"2026/04/01", 2000, 1, Currency::from_yen(2000)};
    third.buy_count = 20;
    third.sells[0] = TradeRecord{"2026/04/02", 2100, 1, Currency::from_yen(2100)};
    third.sell_count = 1;
    window->fill_stock_combo();

    emit window->Combo1->activated(2);
    EXPECT_EQ(portfolio->current_stock, 2);
    EXPECT_EQ(column(window->infor_fig, 1), (QStringList{"2", "同名", "0"}));
    EXPECT_EQ(window->anal_fig->text(0, 1), "20");
    EXPECT_EQ(window->buy_fig->rows(), 21);
    EXPECT_EQ(window->buy_fig->text(20, 2), "¥2,000");
    EXPECT_EQ(window->sell_fig->text(1, 4), "¥2,100");
    EXPECT_EQ(window->sample_fig_1->text(0, 1), "¥4,000");

    emit window->Combo1->activated(1);
    EXPECT_EQ(portfolio->current_stock, 1);
    EXPECT_EQ(window->infor_fig->text(0, 1), "1");
    EXPECT_EQ(window->buy_fig->rows(), 15);
    EXPECT_EQ(window->buy_fig->text(1, 1), "");
    EXPECT_EQ(window->sell_fig->text(1, 1), "");

    emit window->Combo1->activated(-1);
    EXPECT_EQ(portfolio->current_stock, 1);
}

TEST_F(StockChanges, CodeAndNameFromTheMenuAndFromTheInformationGrid) {
    start_with_stock();
    portfolio->last_stock = 1;
    portfolio->stocks[1].stock_name = "二番";
    window->fill_stock_combo();
    window->Combo1->setCurrentIndex(0);

    platform.answer("5401");
    window->change_code->trigger();
    expect_prompt(0, "銘柄コードを記入して下さい", "例:1234");
    EXPECT_EQ(stock().stock_code, "5401");
    EXPECT_EQ(window->infor_fig->text(0, 1), "5401");
    EXPECT_EQ(window->Combo1->currentIndex(), 0);

    platform.answer("日本製鉄");
    emit window->infor_fig->double_clicked(1, 1);
    expect_prompt(1, "銘柄を記入して下さい", "例:新日鉄");
    EXPECT_EQ(stock().stock_name, "日本製鉄");
    EXPECT_EQ(window->infor_fig->text(1, 1), "日本製鉄");
    EXPECT_EQ(combo_items(), (QStringList{"日本製鉄", "二番"}));
    EXPECT_EQ(window->Combo1->currentIndex(), 0);

    platform.answer("6");
    emit window->infor_fig->double_clicked(0, 1);
    platform.answer("7");
    window->change_name->trigger();
    EXPECT_EQ(platform.prompts[2].caption, "銘柄コードを記入して下さい");
    EXPECT_EQ(platform.prompts[3].caption, "銘柄を記入して下さい");
    EXPECT_EQ(stock().stock_code, "6");
    EXPECT_EQ(stock().stock_name, "7");
    EXPECT_EQ(portfolio->current_stock, 0);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StockChanges, AnEmptyAnswerOrUnstorableTextChangesNothing) {
    start_with_stock();
    platform.cancel().answer("").cancel();
    window->change_code->trigger();
    window->change_name->trigger();
    window->change_haitou->trigger();
    platform.answer("12\n34").answer("名前😀");
    window->change_code->trigger();
    window->change_name->trigger();
    EXPECT_EQ(column(window->infor_fig, 1), (QStringList{"1234", "新日鉄", "0"}));
    EXPECT_EQ(stock().stock_code, "1234");
    EXPECT_EQ(stock().stock_name, "新日鉄");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, "改行は使えません");
    EXPECT_EQ(platform.messages[1].text, "使えない文字が含まれています：😀");
}

TEST_F(StockChanges, DividendAndTheYieldOnTheAverageBuyPrice) {
    const struct {
        QString typed;
        int32_t average;
        int32_t dividend;
        float yield;
        QString shown;
    } cases[] = {
        {"12", 600, 12, 0.02f, "2.00%"},   {"5", 1000, 5, 0.005f, "0.50%"},
        {"2.5", 100, 2, 0.02f, "2.00%"},   {"3.5", 100, 4, 0.04f, "4.00%"},
        {"-3", 100, -3, -0.03f, "-3.00%"}, {"12", 0, 12, 0.25f, "25.00%"},  // no average: the yield keeps its value
    };
    start_with_stock();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        platform.prompts.clear();
        stock().avg_buy_price = c.average;
        stock().dividend_yield = 0.25f;
        platform.answer(c.typed);
        window->change_haitou->trigger();
        expect_prompt(0, "配当を記入して下さい", "例:5");
        EXPECT_EQ(stock().dividend, c.dividend);
        EXPECT_EQ(stock().dividend_yield, c.yield);
        EXPECT_EQ(window->infor_fig->text(2, 1), QString::number(c.dividend));
        EXPECT_EQ(window->anal_fig->text(3, 1), c.shown);
        EXPECT_TRUE(platform.messages.empty());
    }
}

TEST_F(StockChanges, ADividendThatIsNotANumberGivesTheMessage) {
    start_with_stock();
    stock().dividend = 7;
    stock().avg_buy_price = 700;
    stock().dividend_yield = 0.01f;
    for (const QString typed : {"abc", "2147483648"}) {
        platform.messages.clear();
        platform.answer(typed);
        emit window->infor_fig->double_clicked(2, 1);
        expect_one_message("半角数字でお願いします");
        EXPECT_EQ(stock().dividend, 7);
        EXPECT_EQ(stock().dividend_yield, 0.01f);
    }
}

TEST_F(StockChanges, TheLabelColumnOfTheInformationGridDoesNothing) {
    start_with_stock();
    for (int row = 0; row < 3; ++row) emit window->infor_fig->double_clicked(row, 0);
    emit window->infor_fig->double_clicked(3, 1);
    EXPECT_TRUE(platform.prompts.empty());
}

}  // namespace
}  // namespace chomaru
