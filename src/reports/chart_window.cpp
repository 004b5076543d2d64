#include "reports/chart_window.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QStringList>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <exception>
#include <optional>
#include <set>
#include <vector>

#include "accounting/position.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"

namespace chomaru {

namespace {

const QColor average_colour(0x1f, 0x5f, 0xbf);
const QColor shares_colour(0x2e, 0x8b, 0x57);
const QColor profit_colour(0xd2, 0x69, 0x1e);
const QColor sell_colour(Qt::red);

qreal chart_time(const Date& date) {
    return qreal(QDate(date.year, date.month, date.day).startOfDay().toMSecsSinceEpoch());
}

// The trades replayed as the stock's own figures are, as far as they could
// be; `complete` is false when a figure stopped the replay.
struct Replayed {
    std::vector<PositionStep> steps;
    std::optional<UnreadableDate> unreadable;
    bool complete = true;
    std::set<int> oversold_years;
};

Replayed replay_all(const Stock& stock) {
    Replayed r;
    PositionReplay replay(stock, true);
    r.unreadable = replay.unreadable();
    try {
        while (replay.next()) {
            r.steps.push_back(replay.step());
            if (replay.step().oversold()) r.oversold_years.insert(replay.step().date.year);
        }
    } catch (const std::exception&) {
        r.complete = false;
    }
    return r;
}

// What the chart cannot show as sound, one line each.
QString notes(const Replayed& r) {
    QStringList lines;
    if (r.unreadable)
        lines << qt_text(unreadable_date_text(*r.unreadable)) + QStringLiteral("が読めないため、グラフを描けません");
    else if (!r.complete)
        lines << QStringLiteral("日付や金額の読めない記録があるため、その前までを表示しています");
    else if (r.steps.empty())
        lines << QStringLiteral("この銘柄には売買の記録がありません");
    if (!r.oversold_years.empty()) {
        QStringList years;
        for (const int y : r.oversold_years) years << QStringLiteral("%1年").arg(y);
        lines << QString::fromUtf8(oversold_mark) + QStringLiteral("（") + years.join(QStringLiteral("、")) +
                     QStringLiteral("）");
    }
    return lines.join(QLatin1Char('\n'));
}

// A value that holds from one trade to the next: a vertical step at every
// trade and a level line to the end of the time axis.
class StepLine {
public:
    StepLine(const QString& name, const QColor& colour) : series_(new QLineSeries) {
        series_->setName(name);
        series_->setColor(colour);
    }
    void add(qreal time, qreal value) {
        if (series_->count() > 0) series_->append(time, last_);
        series_->append(time, value);
        last_ = value;
        low_ = std::min(low_, value);
        high_ = std::max(high_, value);
    }
    QLineSeries* finish(qreal end) {
        if (series_->count() > 0) series_->append(end, last_);
        return series_;
    }
    qreal low() const { return low_; }
    qreal high() const { return high_; }

private:
    QLineSeries* series_;
    qreal last_ = 0;
    qreal low_ = 0;
    qreal high_ = 0;
};

QScatterSeries* marks(const QString& name, const QColor& colour, QScatterSeries::MarkerShape shape) {
    auto* s = new QScatterSeries;
    s->setName(name);
    s->setColor(colour);
    s->setBorderColor(colour);
    s->setMarkerShape(shape);
    s->setMarkerSize(9);
    return s;
}

QValueAxis* value_axis(const QString& title, const QColor& colour, qreal low, qreal high) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleBrush(colour);
    axis->setLabelsColor(colour);
    axis->setLabelFormat(QStringLiteral("%'.0f"));
    if (high <= low) high = low + 1;
    const qreal margin = (high - low) * 0.05;
    axis->setRange(low - (low < 0 ? margin : 0), high + margin);
    axis->applyNiceNumbers();
    return axis;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

QChart* stock_chart(const Stock& stock, const std::vector<PositionStep>& steps) {
    auto* chart = new QChart;
    chart->setTitle(QString::fromStdString(stock.stock_code + "  " + stock.stock_name));
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (steps.empty()) return chart;

    const qreal first = chart_time(steps.front().date);
    const qreal last = chart_time(steps.back().date);
    // A few days either side, so that the first and last marks are not cut.
    const qreal margin = std::max((last - first) * 0.03, 3.0 * 24 * 60 * 60 * 1000);
    const qreal end = last + margin;

    StepLine average(QStringLiteral("平均買い単価"), average_colour);
    StepLine shares(QStringLiteral("保有株数"), shares_colour);
    StepLine profit(QStringLiteral("通算損益"), profit_colour);
    QScatterSeries* buys = marks(QStringLiteral("買い（単価）"), average_colour, QScatterSeries::MarkerShapeCircle);
    QScatterSeries* sells = marks(QStringLiteral("売り（単価）"), sell_colour, QScatterSeries::MarkerShapeRectangle);
    qreal price_high = 0;
    for (const PositionStep& step : steps) {
        const qreal t = chart_time(step.date);
        average.add(t, step.average);
        shares.add(t, step.held);
        profit.add(t, step.realized.to_double());
        if (step.split) continue;
        (step.side == TradeSide::buy ? buys : sells)->append(t, step.record->price);
        price_high = std::max<qreal>(price_high, step.record->price);
    }

    auto* dates = new QDateTimeAxis;
    dates->setTitleText(QStringLiteral("日付"));
    dates->setFormat(QStringLiteral("yyyy/MM/dd"));
    dates->setTickCount(6);
    dates->setRange(QDateTime::fromMSecsSinceEpoch(qint64(first - margin)),
                    QDateTime::fromMSecsSinceEpoch(qint64(end)));
    chart->addAxis(dates, Qt::AlignBottom);
    QValueAxis* price_axis = value_axis(QStringLiteral("単価（円）"), average_colour, std::min(average.low(), 0.0),
                                        std::max(average.high(), price_high));
    chart->addAxis(price_axis, Qt::AlignLeft);
    QValueAxis* share_axis = value_axis(QStringLiteral("株数"), shares_colour, shares.low(), shares.high());
    chart->addAxis(share_axis, Qt::AlignRight);
    QValueAxis* profit_axis = value_axis(QStringLiteral("通算損益（円）"), profit_colour, profit.low(), profit.high());
    chart->addAxis(profit_axis, Qt::AlignRight);

    attach(chart, average.finish(end), dates, price_axis);
    attach(chart, shares.finish(end), dates, share_axis);
    attach(chart, profit.finish(end), dates, profit_axis);
    attach(chart, buys, dates, price_axis);
    attach(chart, sells, dates, price_axis);
    return chart;
}

}  // namespace

ChartWindow::ChartWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form_chart"));
    setWindowTitle(QStringLiteral("推移グラフ"));
    resize(twips(this, 13500), twips(this, 8400));
    chart_view = new QChartView(this);
    chart_view->setObjectName(QStringLiteral("chart_view"));
    chart_view->setRenderHint(QPainter::Antialiasing);
    note = new QLabel(this);
    note->setObjectName(QStringLiteral("note"));
    note->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_view, 1);
    layout->addWidget(note);
}

void ChartWindow::show_stock(const Stock& stock) {
    const Replayed replayed = replay_all(stock);
    QChart* old = chart_view->chart();
    chart_view->setChart(stock_chart(stock, replayed.steps));
    delete old;
    note->setText(notes(replayed));
    note->setVisible(!note->text().isEmpty());
}

void m_chart_click(Session& session) {
    QWidget* owner = session.dialog_parent;
    auto* chart = owner ? owner->findChild<ChartWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!chart) {
        chart = new ChartWindow(owner);
        chart->setAttribute(Qt::WA_DeleteOnClose);
    }
    chart->show();
    chart->raise();
    chart->activateWindow();
}

}  // namespace chomaru
