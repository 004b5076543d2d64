#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <vector>

class QWidget;

namespace chomaru {

// What the chart of a stock shows, worked out by the program. The chart's
// own library, the only code that uses Qt Charts, draws it; the program
// loads that library when it first shows a chart, so that a start never
// pays for Qt Charts and the libraries it brings.

// A value axis whose labels, whole numbers, are `ticks` evenly spaced
// values from `low` to `high`.
struct ChartAxis {
    QString title;
    QColor colour;
    qreal low = 0;
    qreal high = 1;
    int ticks = 2;
};

struct ChartSeries {
    enum class Kind { line, circles, squares };
    Kind kind = Kind::line;
    QString name;
    QColor colour;
    int axis = 0;           // which of the plan's value axes it is drawn against
    QList<QPointF> points;  // x: milliseconds since the epoch
};

struct ChartPlan {
    QString title;
    // The time axis; nothing else is drawn when it is empty. Its range runs
    // from midnight to midnight over a whole number of days per interval
    // between its `date_ticks` labels, so that each label names the day its
    // tick stands on.
    qreal first = 0;
    qreal last = 0;
    int date_ticks = 6;
    // The first axis is drawn on the left, the others on the right.
    std::vector<ChartAxis> axes;
    std::vector<ChartSeries> series;
};

// The library's two functions: a chart view in `parent`, and the plan
// drawn in it, replacing what it showed.
using MakeChartView = QWidget* (*)(QWidget* parent);
using DrawChart = void (*)(QWidget* view, const ChartPlan& plan);

}  // namespace chomaru

extern "C" {
QWidget* chomaru_chart_view(QWidget* parent);
void chomaru_draw_chart(QWidget* view, const chomaru::ChartPlan& plan);
}
