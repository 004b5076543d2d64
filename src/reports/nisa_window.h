#pragma once

#include <QDialog>

#include "accounting/nisa_allowance.h"

class QLabel;

namespace chomaru {

class FlexGrid;
class Session;

// The NISA allowance year by year from 2024 to `this_year`: what the growth
// and the tsumitate accounts bought against their annual allowances, the
// lifetime room used at book value and 旧NISA's book value apart; a figure
// past its limit in red; under the table what the last year still allows.
class NisaWindow : public QDialog {
    Q_OBJECT
public:
    NisaWindow(const Portfolio& portfolio, int this_year, QWidget* parent = nullptr);

    FlexGrid* nisa_fig;
    QLabel* limits;
    QLabel* room;
    QLabel* note;
    QLabel* left_out;
};

// The NISA投資枠 window, up to the year of the platform's clock.
void m_nisa_click(Session& session);

}  // namespace chomaru
