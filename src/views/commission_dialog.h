#pragma once

#include <QDialog>
#include <array>

#include "store/portfolio.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace chomaru {

class Platform;
class Session;

// The commission settings: per bracket the upper bound of the trade value,
// the rate and the fixed addition, then the minimum and the maximum
// commission, the consumption tax on it and the levy on a sale, both in
// percent. Two buttons fill the boxes with today's taxes or with a broker
// that charges nothing. OK stores the boxes; closing from the title bar
// stores nothing.
class CommissionDialog : public QDialog {
    Q_OBJECT
public:
    CommissionDialog(const FeeTable& table, Platform& platform, QWidget* parent = nullptr);

    // The table as the dialog holds it: the one it was opened with, or the
    // boxes' values after OK.
    const FeeTable& table() const { return table_; }

    // The boxes from the table: bounds and additions in the currency format,
    // rates as float text, minimum and maximum as plain integers.
    void fill_boxes();

    // Every box converted into a new table; raises ConversionError or
    // OverflowError for the first box that does not convert.
    FeeTable read_boxes() const;

    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label4;
    std::array<QLineEdit*, fee_brackets> l_sep_cost;
    std::array<QLabel*, fee_brackets - 1> Label2;
    std::array<QLineEdit*, fee_brackets> l_sep_riritu;
    std::array<QLineEdit*, fee_brackets> l_sep_add;
    QLabel* Label5;
    QLabel* Label6;
    QLineEdit* l_mini;
    QLineEdit* l_max;
    QPushButton* k_sen_ok;
    QLabel* Label7;
    QLabel* Label8;
    QLineEdit* l_tax_rate;
    QLineEdit* l_sale_tax;
    QPushButton* k_tax_now;
    QPushButton* k_no_fee;

private:
    void k_sen_ok_click();
    void k_tax_now_click();
    void k_no_fee_click();

    FeeTable table_;
    Platform& platform_;
};

// The commission settings dialog.
void m_kabusen_click(Session& session);

}  // namespace chomaru
