#pragma once

#include <QWidget>

#include "store/portfolio.h"

class QLabel;

namespace chomaru {

class Session;

// A chart of one stock over time, from the same date-ordered replay that
// gives the stock's own figures: the average buy unit price and the shares
// held as step lines on two axes, each buy and sell marked at its unit
// price, and the realised profit on an axis of its own. A note names what
// cannot be shown as sound: a date that does not read, a sale of more shares
// than were held (with its years).
class ChartWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChartWindow(QWidget* parent = nullptr);

    // Draws the chart of `stock` afresh; a stock without records gives an
    // empty chart and a note.
    void show_stock(const Stock& stock);

    // The chart's library's view (a QChartView); a note of why the
    // library could not be opened when it could not.
    QWidget* chart_view;
    QLabel* note;
};

// Opens the chart of the selected stock over the session's window, or
// brings it forward when it is open already; tells why when the chart's
// library cannot be opened. The window draws it when the
// command ends and again after every later command, so it follows the
// selection and every change of the records.
void m_chart_click(Session& session);

}  // namespace chomaru
