// The chart's own library: draws a ChartPlan with Qt Charts. The program
// opens it at the first chart (chart_window.cpp).
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegend>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include "reports/chart_plan.h"

namespace {

using chomaru::ChartAxis;
using chomaru::ChartPlan;
using chomaru::ChartSeries;

QValueAxis* value_axis(const ChartAxis& plan) {
    auto* axis = new QValueAxis;
    axis->setTitleText(plan.title);
    axis->setTitleBrush(plan.colour);
    axis->setLabelsColor(plan.colour);
    axis->setLabelFormat(QStringLiteral("%'.0f"));
    axis->setRange(plan.low, plan.high);
    axis->setTickCount(plan.ticks);
    return axis;
}

QXYSeries* series_of(const ChartSeries& plan) {
    QXYSeries* series = nullptr;
    if (plan.kind == ChartSeries::Kind::line) {
        series = new QLineSeries;
    } else {
        auto* marks = new QScatterSeries;
        marks->setMarkerShape(plan.kind == ChartSeries::Kind::circles ? QScatterSeries::MarkerShapeCircle
                                                                      : QScatterSeries::MarkerShapeRectangle);
        marks->setMarkerSize(9);
        marks->setBorderColor(plan.colour);
        series = marks;
    }
    series->setName(plan.name);
    series->setColor(plan.colour);
    series->replace(plan.points);
    return series;
}

QChart* chart_of(const ChartPlan& plan) {
    auto* chart = new QChart;
    chart->setTitle(plan.title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    // A line is a line in the legend, a mark its shape.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    if (plan.series.empty()) return chart;

    auto* dates = new QDateTimeAxis;
    dates->setTitleText(QStringLiteral("日付"));
    dates->setFormat(QStringLiteral("yyyy/MM/dd"));
    dates->setTickCount(plan.date_ticks);
    dates->setRange(QDateTime::fromMSecsSinceEpoch(qint64(plan.first)),
                    QDateTime::fromMSecsSinceEpoch(qint64(plan.last)));
    chart->addAxis(dates, Qt::AlignBottom);
    std::vector<QValueAxis*> axes;
    for (const ChartAxis& a : plan.axes) {
        axes.push_back(value_axis(a));
        chart->addAxis(axes.back(), axes.size() == 1 ? Qt::AlignLeft : Qt::AlignRight);
    }
    for (const ChartSeries& s : plan.series) {
        QXYSeries* series = series_of(s);
        chart->addSeries(series);
        series->attachAxis(dates);
        series->attachAxis(axes.at(size_t(s.axis)));
    }
    return chart;
}

}  // namespace

QWidget* chomaru_chart_view(QWidget* parent) {
    auto* view = new QChartView(parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

void chomaru_draw_chart(QWidget* view, const ChartPlan& plan) {
    auto* chart_view = static_cast<QChartView*>(view);
    QChart* old = chart_view->chart();
    chart_view->setChart(chart_of(plan));
    delete old;
}
