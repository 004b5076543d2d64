#include "reports/chart_window.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSet>
#include <QValueAxis>

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

    QChart* chart() const { return qobject_cast<QChartView*>(chart_window()->chart_view)->chart(); }

    // The values of a series, named by its legend text.
    QList<QPointF> points(const QString& name) const {
        for (QAbstractSeries* s : chart()->series())
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
    EXPECT_EQ(chart()->title(), "1111  甲");
    // Steps at each trade in date order, then level to the end of the axis.
    EXPECT_EQ(values("保有株数"), QList<qreal>({100, 100, 50, 50, 40, 40, 30, 30, 20, 20}));
    EXPECT_EQ(values("通算損益"), QList<qreal>({0, 0, -20000, -20000, -15000, -15000, -13000, -13000, -3000, -3000}));
    EXPECT_EQ(values("平均買い単価").front(), 1000);
    EXPECT_EQ(values("買い（単価）"), QList<qreal>({1000}));
    EXPECT_EQ(values("売り（単価）"), QList<qreal>({600, 1500, 1200, 2000}));
    EXPECT_FALSE(chart_window()->note->isVisible());

    // The sale dated before the buy: shares go negative, then back up.
    emit window->Combo1->activated(1);
    EXPECT_EQ(chart()->title(), "2222  乙");
    EXPECT_EQ(values("保有株数"), QList<qreal>({-5, -5, 5, 5}));
    EXPECT_EQ(values("平均買い単価"), QList<qreal>({0, 0, 1600, 1600}));
    EXPECT_EQ(chart_window()->note->text(), "保有株数を超える売却があります（2024年）");

    emit window->Combo1->activated(2);
    EXPECT_TRUE(chart()->series().isEmpty());
    EXPECT_EQ(chart_window()->note->text(), "この銘柄には売買の記録がありません");
    EXPECT_TRUE(chart_window()->note->isVisible());

    portfolio->stocks[0].sells[2].date = "昨日";
    emit window->Combo1->activated(0);
    EXPECT_TRUE(chart()->series().isEmpty());
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

// The labels an axis shows at its ticks, as its label format writes them.
QStringList tick_labels(const QValueAxis* axis) {
    QStringList labels;
    const qreal step = (axis->max() - axis->min()) / (axis->tickCount() - 1);
    for (int i = 0; i < axis->tickCount(); ++i) labels << QString::asprintf("%.0f", axis->min() + i * step);
    return labels;
}

TEST_F(ChartWindowTest, EveryAxisLabelDiffersAndEverySeriesHasItsOwnLook) {
    // A profit of ¥2 and two shares held: axes of a few units.
    Stock& small = portfolio->stocks[2];
    small.buys[0] = TradeRecord{"2024/01/05", 100, 3, Currency::from_yen(300)};
    small.sells[0] = TradeRecord{"2024/02/05", 102, 1, Currency::from_yen(102)};
    small.buy_count = 1;
    small.sell_count = 1;
    window->m_chart->trigger();
    for (const int stock : {0, 2}) {
        emit window->Combo1->activated(stock);
        const auto axes = chart()->axes(Qt::Vertical);
        ASSERT_EQ(axes.size(), 3);
        for (QAbstractAxis* a : axes) {
            const QStringList labels = tick_labels(static_cast<QValueAxis*>(a));
            EXPECT_GE(labels.size(), 3) << qPrintable(a->titleText());
            EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size())
                << qPrintable(a->titleText()) << " " << qPrintable(labels.join(" "));
        }
    }
    EXPECT_EQ(values("通算損益").back(), 2);

    QSet<QRgb> colours;
    for (QAbstractSeries* s : chart()->series()) colours << static_cast<QXYSeries*>(s)->color().rgb();
    EXPECT_EQ(colours.size(), 5);
    QList<QScatterSeries::MarkerShape> shapes;
    for (QAbstractSeries* s : chart()->series())
        if (auto* marks = qobject_cast<QScatterSeries*>(s)) shapes << marks->markerShape();
    EXPECT_EQ(shapes, (QList{QScatterSeries::MarkerShapeCircle, QScatterSeries::MarkerShapeRectangle}));
}

// One buy on 2026/12/01: three days either side make 6 days, moved on to
// 10 so that the five intervals between the six labels are whole days, each
// label on the midnight of the day it names.
TEST_F(ChartWindowTest, EachDateLabelStandsOnTheDayItNames) {
    Stock& s = portfolio->stocks[0];
    s.buy_count = 1;
    s.sell_count = 0;
    s.buys[0] = TradeRecord{"2026/12/01", 2850, 100, Currency::from_yen(285000)};
    window->m_chart->trigger();
    const auto axes = chart()->axes(Qt::Horizontal);
    ASSERT_EQ(axes.size(), 1);
    const auto* dates = qobject_cast<QDateTimeAxis*>(axes.front());
    ASSERT_NE(dates, nullptr);
    EXPECT_EQ(dates->min(), QDate(2026, 11, 28).startOfDay());
    EXPECT_EQ(dates->max(), QDate(2026, 12, 8).startOfDay());
    EXPECT_EQ(dates->tickCount(), 6);
}

}  // namespace
}  // namespace chomaru
