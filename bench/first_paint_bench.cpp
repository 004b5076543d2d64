// The first paint of the 年間損益 window and of the 推移グラフ chart over a
// full-capacity portfolio, against the main window's own first paint as the
// floor. Each is timed in this process from the start of its construction to
// the end of its first paint, the main window built and filled as at
// start-up.
#include <QApplication>
#include <QElapsedTimer>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app/application.h"
#include "full_portfolio.h"
#include "reports/chart_window.h"
#include "reports/year_window.h"
#include "ui/qt_platform.h"
#include "views/main_window.h"

namespace {

using namespace chomaru;

constexpr int runs = 9;

void fill_as_at_start_up(StockMain& w) {
    w.setup_info_grid();
    w.setup_analysis_grid();
    w.setup_ratio_grids();
    w.setup_buy_grid();
    w.setup_sell_grid();
    w.show_stock_info();
    w.show_analysis();
    w.show_buy_records();
    w.show_sell_records();
    w.show_ratio_table();
    w.fill_stock_combo();
}

// Milliseconds from building a window to the end of its first paint; the
// window is closed afterwards.
double first_paint_ms(const std::function<std::unique_ptr<QWidget>()>& build) {
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<QWidget> w = build();
    w->show();
    w->repaint();
    QCoreApplication::processEvents();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    w->close();
    QCoreApplication::processEvents();
    return ms;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTranslator translator;
    apply_japanese_settings(app, translator);
    QtPlatform platform;
    Document document(make_full_portfolio());
    const Portfolio* const portfolio = &document.portfolio();

    const auto main_window = [&] {
        auto w = std::make_unique<StockMain>(platform);
        w->attach(document);
        fill_as_at_start_up(*w);
        return std::unique_ptr<QWidget>(std::move(w));
    };
    const auto year = [&] { return std::unique_ptr<QWidget>(std::make_unique<YearWindow>(*portfolio, platform)); };
    const auto chart = [&] {
        auto w = std::make_unique<ChartWindow>();
        w->show_stock(portfolio->current());
        return std::unique_ptr<QWidget>(std::move(w));
    };
    // Fonts, styles, plugins and the chart's library are loaded once per
    // process, by the first of each.
    const std::function<std::unique_ptr<QWidget>()> windows[] = {main_window, year, chart};
    for (const auto& build : windows) first_paint_ms(build);
    // Round by round, so that a busy moment of the machine falls on the
    // three windows of a round alike.
    std::vector<double> main_ms, year_ms, chart_ms, year_ratio, chart_ratio;
    for (int i = 0; i < runs; ++i) {
        main_ms.push_back(first_paint_ms(main_window));
        year_ms.push_back(first_paint_ms(year));
        chart_ms.push_back(first_paint_ms(chart));
        year_ratio.push_back(year_ms.back() / main_ms.back());
        chart_ratio.push_back(chart_ms.back() / main_ms.back());
    }
    std::printf("main window %8.2f ms          (the floor)\n", median(main_ms));
    std::printf("年間損益    %8.2f ms   %4.2fx   goal: within 1.5x\n", median(year_ms), median(year_ratio));
    std::printf("推移グラフ  %8.2f ms   %4.2fx   goal: within 1.5x\n", median(chart_ms), median(chart_ratio));
    std::printf("(medians of %d rounds; each ratio is the median of the per-round ratios)\n", runs);
    return 0;
}
