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

// Realised gains year by year: a table of the years with the losses carried
// forward and an estimate of the tax, the latest year selected, and below it
// the selected year's sales per stock. A year and a stock that sold more
// shares than were held are marked; stocks whose trades could not be
// replayed are named under the tables. "CSVに出力" writes both tables to a
// file in the documents folder.
class YearWindow : public QDialog {
    Q_OBJECT
public:
    YearWindow(const Portfolio& portfolio, Platform& platform, QWidget* parent = nullptr);

    // Selects year `i` of the table (0 is the first) and shows its sales.
    void select_year(int i);

    FlexGrid* year_fig;
    QLabel* sales_caption;
    FlexGrid* sales_fig;
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
