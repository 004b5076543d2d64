#pragma once

#include <QDialog>

#include "store/portfolio.h"

class QLabel;
class QPushButton;

namespace chomaru {

class FlexGrid;
class Session;

// Every stock in one table with its figures, and below it the total profit
// and the total dividend yield on cost of the whole portfolio.
class ListWindow : public QDialog {
    Q_OBJECT
public:
    explicit ListWindow(QWidget* parent = nullptr);

    // Makes the window as tall as the table's rows need, within the screen.
    void fit_rows();

    FlexGrid* all_disp_fig;
    QLabel* Label1;
    QLabel* all_total;
    QLabel* Label2;
    QLabel* all_rimawari;
    QPushButton* close_key;
};

// Headings, widths and alignments of the list grid.
void setup_list_grid(ListWindow& list);

// One row per stock, in the stored order, and the two totals. The grid
// grows by one row per stock from the twelfth on.
void show_portfolio_list(ListWindow& list, const Portfolio& portfolio);

// The portfolio list.
void all_list_key_click(Session& session);

}  // namespace chomaru
