#pragma once

#include <QDialog>

#include "reports/year_report.h"
#include "store/portfolio.h"

class QLabel;
class QPushButton;

namespace chomaru {

class FlexGrid;
class Platform;
class Session;

// Realised gains year by year, each sale in the year of its settlement
// date: a table of the years with the losses carried forward, an estimate
// of the tax and the dividends received, the latest year selected; below
// it the selected year's taxable sales, its NISA sales apart, and what
// declaring the dividends would give back in a year of a loss. A year and a
// sale that sold more shares than were held are marked; stocks whose trades
// could not be replayed are named under the tables. "CSVに出力" writes the
// tables to a file in the documents folder.
class YearWindow : public QDialog {
    Q_OBJECT
public:
    YearWindow(const Portfolio& portfolio, Platform& platform, QWidget* parent = nullptr);

    // Selects year `i` of the table (0 is the first) and shows its sales.
    void select_year(int i);

    FlexGrid* year_fig;
    QLabel* sales_caption;
    FlexGrid* sales_fig;
    QLabel* nisa_caption;
    FlexGrid* nisa_fig;
    QLabel* dividend_note;
    QLabel* note;
    QLabel* left_out;
    QPushButton* csv_key;

private:
    void show_years();
    void show_sales(const YearFigures& year);

    const Portfolio& portfolio_;
    YearReport report_;
};

// The 年間損益 window.
void m_year_report_click(Session& session);

}  // namespace chomaru
