#include "reports/chart_window.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>

#include "support/main_window_fixture.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

class ChartWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        *portfolio = *carried_loss_portfolio();
        portfolio->last_stock = 2;  // a third stock without records
        portfolio->stocks[2].stock_code = "3333";
    }

    ChartWindow* chart_window() const {
        const auto windows = window->findChildren<ChartWindow*>();
        return windows.size() == 1 ? windows.front() : nullptr;
    }

    // The values of a series, named by its legend text.
    QList<QPointF> points(const QString& name) const {
        for (QAbstractSeries* s : chart_window()->chart_view->chart()->series())
            if (s->name() == name) return static_cast<QXYSeries*>(s)->points();
        return {};
    }

    QList<qreal> values(const QString& name) const {
        QList<qreal> ys;
        for (const QPointF& p : points(name)) ys << p.y();
        return ys;
    }
};

TEST_F(ChartWindowTest, DrawsTheSelectedStockAndFollowsTheSelection) {
    window->m_chart->trigger();
    ASSERT_NE(chart_window(), nullptr);
    EXPECT_TRUE(chart_window()->isVisible());
    EXPECT_EQ(chart_window()->chart_view->chart()->title(), "1111  甲");
    // Steps at each trade in date order, then level to the end of the axis.
    EXPECT_EQ(values("保有株数"), QList<qreal>({100, 100, 50, 50, 40, 40, 30, 30, 20, 20}));
    EXPECT_EQ(values("通算損益"), QList<qreal>({0, 0, -20000, -20000, -15000, -15000, -13000, -13000, -3000, -3000}));
    EXPECT_EQ(values("平均買い単価").front(), 1000);
    EXPECT_EQ(values("買い（単価）"), QList<qreal>({1000}));
    EXPECT_EQ(values("売り（単価）"), QList<qreal>({600, 1500, 1200, 2000}));
    EXPECT_FALSE(chart_window()->note->isVisible());

    // The sale dated before the buy: shares go negative, then back up.
    emit window->Combo1->activated(1);
    EXPECT_EQ(chart_window()->chart_view->chart()->title(), "2222  乙");
    EXPECT_EQ(values("保有株数"), QList<qreal>({-5, -5, 5, 5}));
    EXPECT_EQ(values("平均買い単価"), QList<qreal>({0, 0, 1600, 1600}));
    EXPECT_EQ(chart_window()->note->text(), "保有株数を超える売却があります（2024年）");

    emit window->Combo1->activated(2);
    EXPECT_TRUE(chart_window()->chart_view->chart()->series().isEmpty());
    EXPECT_EQ(chart_window()->note->text(), "この銘柄には売買の記録がありません");
    EXPECT_TRUE(chart_window()->note->isVisible());

    portfolio->stocks[0].sells[2].date = "昨日";
    emit window->Combo1->activated(0);
    EXPECT_TRUE(chart_window()->chart_view->chart()->series().isEmpty());
    EXPECT_EQ(chart_window()->note->text(), "売り記録 3 の日付「昨日」が読めないため、グラフを描けません");

    // A second open brings the same window forward.
    window->m_chart->trigger();
    EXPECT_NE(chart_window(), nullptr);
}

// A split after the last trade is a step of its own at its date, with no
// mark of a trade: 20 shares at 1,000 become 40 at 500.
TEST_F(ChartWindowTest, ASplitStepsTheSharesAndTheAverageAtItsDate) {
    portfolio->stocks[0].splits = {Split{"2030/01/01", 1, 2}};
    window->m_chart->trigger();
    EXPECT_EQ(values("保有株数"), QList<qreal>({100, 100, 50, 50, 40, 40, 30, 30, 20, 20, 40, 40}));
    EXPECT_EQ(values("平均買い単価").mid(8), QList<qreal>({1000, 1000, 500, 500}));
    EXPECT_EQ(values("売り（単価）"), QList<qreal>({600, 1500, 1200, 2000}));
}

}  // namespace
}  // namespace chomaru
