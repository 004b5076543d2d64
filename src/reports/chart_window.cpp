#include "reports/chart_window.h"

#include <dlfcn.h>

#include <QDateTime>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <optional>
#include <set>
#include <vector>

#include "accounting/position.h"
#include "program_info.h"
#include "reports/chart_plan.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"
#include "ui/window_places.h"

namespace chomaru {

namespace {

const QColor average_colour(0x1f, 0x5f, 0xbf);
const QColor buy_colour(0x8e, 0x44, 0xad);
const QColor shares_colour(0x2e, 0x8b, 0x57);
const QColor profit_colour(0xd2, 0x69, 0x1e);
const QColor sell_colour(Qt::red);

qreal chart_time(const Date& date) {
    return qreal(QDate(date.year, date.month, date.day).startOfDay().toMSecsSinceEpoch());
}

// The chart's library, opened once, at the first chart: beside the program
// (the build, a portable copy), else where the package installs it.
struct ChartLibrary {
    MakeChartView make_view = nullptr;
    DrawChart draw = nullptr;
    std::string error;
};

const ChartLibrary& chart_library() {
    static const ChartLibrary library = [] {
        ChartLibrary found;
        const std::filesystem::path program = executable_folder("/proc/self/exe");
        for (const std::filesystem::path& place :
             {program / "libchomaru_chart.so", program / chart_library_from_program / "libchomaru_chart.so"}) {
            void* handle = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                if (found.error.empty()) found.error = dlerror();
                continue;
            }
            found.make_view = reinterpret_cast<MakeChartView>(dlsym(handle, "chomaru_chart_view"));
            found.draw = reinterpret_cast<DrawChart>(dlsym(handle, "chomaru_draw_chart"));
            if (found.make_view && found.draw) break;
            found.error = place.string() + ": not the chart's library";
        }
        if (found.make_view && found.draw) found.error.clear();
        return found;
    }();
    return library;
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
    StepLine(const QString& name, const QColor& colour, int axis) {
        series_.name = name;
        series_.colour = colour;
        series_.axis = axis;
    }
    void add(qreal time, qreal value) {
        if (!series_.points.isEmpty()) series_.points.append(QPointF(time, last_));
        series_.points.append(QPointF(time, value));
        last_ = value;
        low_ = std::min(low_, value);
        high_ = std::max(high_, value);
    }
    ChartSeries finish(qreal end) {
        if (!series_.points.isEmpty()) series_.points.append(QPointF(end, last_));
        return series_;
    }
    qreal low() const { return low_; }
    qreal high() const { return high_; }

private:
    ChartSeries series_;
    qreal last_ = 0;
    qreal low_ = 0;
    qreal high_ = 0;
};

ChartSeries marks(const QString& name, const QColor& colour, ChartSeries::Kind kind) {
    ChartSeries s;
    s.kind = kind;
    s.name = name;
    s.colour = colour;
    return s;
}

// An axis over `low` to `high` with a little room above (and below a
// negative low), its ends and ticks on whole steps of 1, 2 or 5 times a
// power of ten, at least 1, so that its labels, whole numbers, all differ.
ChartAxis value_axis(const QString& title, const QColor& colour, qreal low, qreal high) {
    constexpr int most_ticks = 7;
    if (high <= low) high = low + 1;
    const qreal margin = (high - low) * 0.05;
    high += margin;
    if (low < 0) low -= margin;
    const qreal power = std::pow(10.0, std::floor(std::log10((high - low) / (most_ticks - 1))));
    ChartAxis axis{title, colour, low, high, 2};
    for (int i = 0;; ++i) {
        const qreal step = std::max(1.0, power * std::array{1.0, 2.0, 5.0}[size_t(i % 3)] * std::pow(10.0, i / 3));
        axis.low = std::floor(low / step) * step;
        axis.high = std::ceil(high / step) * step;
        axis.ticks = int(std::lround((axis.high - axis.low) / step)) + 1;
        if (axis.ticks <= most_ticks) return axis;
    }
}

ChartPlan stock_plan(const Stock& stock, const std::vector<PositionStep>& steps) {
    ChartPlan plan;
    plan.title = QString::fromStdString(stock.stock_code + "  " + stock.stock_name);
    if (steps.empty()) return plan;

    // A few whole days either side, so that the first and last marks are not
    // cut; then the last day moved on until the days divide evenly between
    // the labels. Both ends are midnights, as every step's time is.
    constexpr qreal day = 24.0 * 60 * 60 * 1000;
    const qreal first = chart_time(steps.front().date);
    const qreal last = chart_time(steps.back().date);
    const auto span_days = int64_t(std::llround((last - first) / day));
    const int64_t margin = std::max<int64_t>((span_days * 3 + 99) / 100, 3);
    const int64_t intervals = plan.date_ticks - 1;
    const int64_t total = span_days + 2 * margin;
    const int64_t extra = (intervals - total % intervals) % intervals;
    plan.first = first - qreal(margin) * day;
    plan.last = last + qreal(margin + extra) * day;

    StepLine average(QStringLiteral("平均買い単価"), average_colour, 0);
    StepLine shares(QStringLiteral("保有株数"), shares_colour, 1);
    StepLine profit(QStringLiteral("通算損益"), profit_colour, 2);
    ChartSeries buys = marks(QStringLiteral("買い（単価）"), buy_colour, ChartSeries::Kind::circles);
    ChartSeries sells = marks(QStringLiteral("売り（単価）"), sell_colour, ChartSeries::Kind::squares);
    qreal price_high = 0;
    for (const PositionStep& step : steps) {
        const qreal t = chart_time(step.date);
        average.add(t, step.average);
        shares.add(t, step.held);
        profit.add(t, step.realized.to_double());
        if (step.split) continue;
        (step.side == TradeSide::buy ? buys : sells).points.append(QPointF(t, step.record->price));
        price_high = std::max<qreal>(price_high, step.record->price);
    }
    plan.axes = {
        value_axis(QStringLiteral("単価（円）"), average_colour, std::min(average.low(), 0.0),
                   std::max(average.high(), price_high)),
        value_axis(QStringLiteral("株数"), shares_colour, shares.low(), shares.high()),
        value_axis(QStringLiteral("通算損益（円）"), profit_colour, profit.low(), profit.high()),
    };
    plan.series = {average.finish(plan.last), shares.finish(plan.last), profit.finish(plan.last), buys, sells};
    return plan;
}

}  // namespace

ChartWindow::ChartWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form_chart"));
    setWindowTitle(QStringLiteral("推移グラフ"));
    resize(twips(this, 13500), twips(this, 8400));
    const ChartLibrary& library = chart_library();
    chart_view = library.make_view ? library.make_view(this) : new QLabel(qt_text(library.error), this);
    chart_view->setObjectName(QStringLiteral("chart_view"));
    note = new QLabel(this);
    note->setObjectName(QStringLiteral("note"));
    note->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_view, 1);
    layout->addWidget(note);
    close_on_escape(*this);
}

void ChartWindow::show_stock(const Stock& stock) {
    const Replayed replayed = replay_all(stock);
    if (chart_library().draw) chart_library().draw(chart_view, stock_plan(stock, replayed.steps));
    note->setText(notes(replayed));
    note->setVisible(!note->text().isEmpty());
}

void m_chart_click(Session& session) {
    if (!chart_library().error.empty()) {
        session.platform.message_box(QStringLiteral("推移グラフを表示できません。\r\n（") +
                                         qt_text(chart_library().error) + QStringLiteral("）"),
                                     QMessageBox::Warning, QMessageBox::Ok, program_caption);
        return;
    }
    QWidget* owner = session.dialog_parent;
    auto* chart = owner ? owner->findChild<ChartWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!chart) {
        chart = new ChartWindow(owner);
        chart->setAttribute(Qt::WA_DeleteOnClose);
        open_over_parent(*chart, session.platform, "chart");
    }
    chart->show();
    chart->raise();
    chart->activateWindow();
}

}  // namespace chomaru
