// Undo and redo through the real main window: every kind of step goes back
// to the bytes before it and forward to the bytes after it, and a whole
// stock is deleted only after a question.
#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "store/data_file.h"
#include "support/main_window_fixture.h"
#include "trades/date_picker_dialog.h"
#include "views/commission_dialog.h"

namespace chomaru {
namespace {

class Undo : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        start_with_stock("1111", "トヨタ");
        platform.answer("2222").answer("ソニー");
        window->new_name_key->click();
        buy("1000", "100");
        platform.messages.clear();
    }
    void buy(const QString& price, const QString& shares) {
        platform.on_dialog([](QDialog& d) { dynamic_cast<DatePickerDialog&>(d).k_ok->click(); });
        platform.answer(price).answer(shares).accept_default();
        window->kai_input_key->click();
    }
    std::string bytes() const { return format_data_file(*portfolio); }
};

TEST_F(Undo, EveryKindOfStepIsUndoneAndRedoneWithTheWindowRedrawn) {
    struct Kind {
        const char* step;
        std::function<void()> run;
    };
    const std::vector<Kind> kinds = {
        {"買い 2222 ソニー", [&] { buy("1200", "50"); }},
        {"売り 2222 ソニー",
         [&] {
             platform.on_dialog([](QDialog& d) { dynamic_cast<DatePickerDialog&>(d).k_ok->click(); });
             platform.answer("1500").answer("30").accept_default();
             window->uri_input_key->click();
         }},
        {"買い記録の修正 2222 ソニー",
         [&] {
             platform.answer("900");
             emit window->buy_fig->double_clicked(1, 2);
         }},
        {"買い記録の削除 2222 ソニー",
         [&] {
             platform.answer("1");
             window->del_kai_fig->trigger();
         }},
        {"配当の変更 2222 ソニー",
         [&] {
             platform.answer("25");
             window->change_haitou->trigger();
         }},
        {"配当金の記録 2222 ソニー",
         [&] {
             platform.on_dialog([](QDialog& d) { dynamic_cast<DatePickerDialog&>(d).k_ok->click(); });
             platform.answer("5000").accept_default();
             window->record_payment->trigger();
         }},
        {"配当金の修正 2222 ソニー",
         [&] {
             platform.answer("0");
             emit window->pay_fig->double_clicked(1, 3);
         }},
        {"配当金の削除 2222 ソニー",
         [&] {
             platform.answer("1");
             window->del_payment->trigger();
         }},
        {"コードの変更 2222 ソニー",
         [&] {
             platform.answer("6758");
             window->change_code->trigger();
         }},
        {"銘柄名の変更 6758 ソニー",
         [&] {
             platform.answer("ソニーグループ");
             window->change_name->trigger();
         }},
        {"新銘柄 3333 任天堂",
         [&] {
             platform.answer("3333").answer("任天堂");
             window->new_name_key->click();
         }},
        {"手数料設定",
         [&] {
             platform.on_dialog([](QDialog& d) {
                 auto& dialog = dynamic_cast<CommissionDialog&>(d);
                 dialog.k_no_fee->click();
                 dialog.k_sen_ok->click();
             });
             window->m_kabusen->trigger();
         }},
        {"並べ替え",
         [&] {
             platform.on_dialog([](QDialog& d) {
                 auto* base = d.findChild<QListWidget*>("base_list");
                 auto* move = d.findChild<QPushButton*>("k_sort");
                 for (int row : {2, 1, 0}) {
                     base->setCurrentRow(row);
                     move->click();
                 }
             });
             platform.press(QMessageBox::Yes);
             window->m_sort->trigger();
         }},
        {"全記録の削除 3333 任天堂",
         [&] {
             platform.press(QMessageBox::Yes);
             window->del_all_data->trigger();
         }},
    };
    for (const Kind& kind : kinds) {
        const std::string before = bytes();
        kind.run();
        const std::string after = bytes();
        ASSERT_NE(after, before) << kind.step;
        EXPECT_EQ(window->m_undo->text(), QStringLiteral("元に戻す(&Z): ") + kind.step);
        EXPECT_FALSE(window->m_redo->isEnabled());

        window->m_undo->trigger();
        ASSERT_EQ(bytes(), before) << kind.step;
        EXPECT_EQ(window->infor_fig->text(0, 1).toStdString(), stock().stock_code) << kind.step;
        EXPECT_EQ(window->Combo1->count(), portfolio->last_stock + 1) << kind.step;
        EXPECT_EQ(window->m_redo->text(), QStringLiteral("やり直し(&R): ") + kind.step);

        window->m_redo->trigger();
        ASSERT_EQ(bytes(), after) << kind.step;
        EXPECT_EQ(window->anal_fig->text(0, 1).toStdString(), std::to_string(stock().held_shares)) << kind.step;
    }
}

TEST_F(Undo, TheRecoveryFileFollowsAndANewCommandDropsRedo) {
    window->m_undo->trigger();  // the first buy
    EXPECT_EQ(stock().buy_count, 0);
    EXPECT_TRUE(window->m_redo->isEnabled());
    Portfolio recovered;
    ASSERT_EQ(parse_data_file(read_whole_file(platform.data / "vavo_data_recovery.txt").value(), recovered),
              LoadStatus::loaded);
    EXPECT_EQ(recovered.stocks[1].buy_count, 0);

    platform.answer("30");
    window->change_haitou->trigger();
    EXPECT_FALSE(window->m_redo->isEnabled());
    EXPECT_EQ(window->m_redo->text(), "やり直し(&R)");

    // Commands that change nothing are no steps.
    window->m_undo->trigger();
    window->m_undo->trigger();
    window->m_undo->trigger();
    EXPECT_FALSE(window->m_undo->isEnabled());
    EXPECT_EQ(window->m_undo->text(), "元に戻す(&Z)");
    window->version_key->trigger();
    EXPECT_FALSE(window->m_undo->isEnabled());
}

TEST_F(Undo, AWholeStockIsDeletedOnlyAfterAYes) {
    const std::string before = bytes();
    platform.press(QMessageBox::No);
    window->del_all_data->trigger();
    EXPECT_EQ(bytes(), before);
    ASSERT_EQ(platform.messages.size(), 1u);
    const auto& question = platform.messages[0];
    EXPECT_EQ(question.text, "2222 ソニー の全記録を削除します。よろしいですか？");
    EXPECT_EQ(question.caption, "帳丸");
    EXPECT_EQ(question.icon, QMessageBox::Question);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.default_button, QMessageBox::No);

    platform.press(QMessageBox::Yes);
    window->del_all_data->trigger();
    EXPECT_EQ(portfolio->last_stock, 0);
}

}  // namespace
}  // namespace chomaru
