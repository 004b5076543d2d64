#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace chomaru {

class Session;

// The result of a trade preview: the selected stock's shares, average buy
// unit price, profit and yield before and after the trade, and the unit
// price and share count entered.
class SimulationWindow : public QDialog {
    Q_OBJECT
public:
    explicit SimulationWindow(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* l_sl_num;
    QLabel* Label2;
    QLabel* l_sl_price;
    QLabel* Label3;
    QLabel* l_sl_profit;
    QLabel* Label4;
    QLabel* l_sl_risi;
    QFrame* Line1;
    QLabel* Label5;
    QLabel* l_sl_cost_i;
    QLabel* Label6;
    QLabel* l_sl_num_i;
    QPushButton* Command1;
};

// Previews of a buy or a sell.
void kai_sl_key_click(Session& session);
void uri_sl_key_click(Session& session);

}  // namespace chomaru
