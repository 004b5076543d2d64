#include "reports/nisa_window.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

class NisaWindowTest : public MainWindowTest {};

// 2024: ¥3,000,000 bought in 成長 (¥600,000 past its year), half sold; 2025:
// nothing bought, the sale's ¥1,500,000 of book value free again; today is
// 2026/12/07.
TEST_F(NisaWindowTest, EachYearFrom2024ToThisYearAgainstTheLimits) {
    start_with_stock("1306", "TOPIX");
    stock().account = AccountType::nisa_growth;
    stock().buys[0] = {"2024/02/01", 3000, 1000, Currency::from_yen(3'000'000)};
    stock().sells[0] = {"2024/11/01", 3500, 500, Currency::from_yen(1'750'000)};
    stock().buy_count = stock().sell_count = 1;
    platform.on_dialog([this](QDialog& d) {
        auto& w = dynamic_cast<NisaWindow&>(d);
        EXPECT_EQ(column(w.nisa_fig, 0), QStringList({"年", "2024", "2025", "2026"}));
        EXPECT_EQ(w.nisa_fig->item(0, 1)->foreground().color(), Qt::red);
        EXPECT_EQ(w.nisa_fig->text(2, 3), "¥1,500,000");
        EXPECT_EQ(w.room->text(), "2026年にまだ買える額：成長投資枠 ¥2,400,000、つみたて投資枠 ¥1,200,000");
        QSignalSpy rejected(&w, &QDialog::rejected);
        QTest::keyClick(w.nisa_fig, Qt::Key_Escape);
        EXPECT_EQ(rejected.count(), 1);
    });
    window->m_nisa->trigger();
    ASSERT_EQ(platform.dialogs.back(), "Form_nisa");
}

}  // namespace
}  // namespace chomaru
