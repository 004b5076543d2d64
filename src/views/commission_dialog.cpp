#include "views/commission_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "store/regional_text.h"
#include "ui/command_guard.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/text_checks.h"
#include "ui/twips.h"
#include "ui/widgets.h"

namespace chomaru {

namespace {

// The boxes are narrow for amounts such as "¥50,000,000": the proportional
// gothic font with a slightly tighter spacing shows every value whole.
QLineEdit* box(QWidget* parent, const QString& name, int left, int top, int width, const QString& tip = QString()) {
    auto* b = new QLineEdit(parent);
    b->setObjectName(name);
    b->setFont(figure_font(9));
    place(b, left, top, width, 270);
    if (!tip.isEmpty()) b->setToolTip(tip);
    return b;
}

int row_top(size_t i) { return 360 + 360 * int(i); }

int32_t integer_or_zero(const QLineEdit* b) { return b->text().isEmpty() ? 0 : text_to_int32(number_text(b->text())); }

QString currency_box_text(int32_t yen) { return qt_text(format_currency(Currency::from_yen(yen))); }

}  // namespace

CommissionDialog::CommissionDialog(const FeeTable& table, Platform& platform, QWidget* parent)
    : QDialog(parent), table_(table), platform_(platform) {
    setObjectName(QStringLiteral("Form_tesuryo"));
    setWindowTitle(QStringLiteral("株式売買の手数料の設定"));
    setFixedSize(twips(this, 3705), twips(this, 4350));

    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("約定代金"), 240, 120, 735);
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("手数料率"), 1800, 120, 735);
    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("付加"), 3000, 120, 495);
    for (size_t i = 0; i < fee_brackets; ++i) {
        const QString index = QStringLiteral("_%1").arg(i);
        l_sep_cost[i] = box(this, QStringLiteral("l_sep_cost") + index, 120, row_top(i), 1095);
        if (i < Label2.size())
            Label2[i] = label(this, QStringLiteral("Label2") + index, QStringLiteral("以下"), 1320, row_top(i), 375);
        l_sep_riritu[i] =
            box(this, QStringLiteral("l_sep_riritu") + index, 1800, row_top(i), 855, QStringLiteral("1%は、0.01です"));
        l_sep_add[i] = box(this, QStringLiteral("l_sep_add") + index, 2760, row_top(i), 855);
    }
    // The top bracket has no upper bound: its box only says so.
    l_sep_cost[5]->setText(QStringLiteral("それ以上"));
    l_sep_cost[5]->setReadOnly(true);
    l_sep_cost[5]->setFocusPolicy(Qt::NoFocus);

    Label5 = label(this, QStringLiteral("Label5"), QStringLiteral("下限"), 360, 2640, 375);
    Label6 = label(this, QStringLiteral("Label6"), QStringLiteral("上限"), 1560, 2640, 495);
    l_mini = box(this, QStringLiteral("l_mini"), 120, 2880, 855, QStringLiteral("0は設定なし"));
    l_max = box(this, QStringLiteral("l_max"), 1320, 2880, 855, QStringLiteral("0は設定なし"));
    k_sen_ok = button(this, QStringLiteral("k_sen_ok"), QStringLiteral("OK(&Z)"), 2640, 2640, 975, 495);
    k_sen_ok->setDefault(true);
    connect(k_sen_ok, &QPushButton::clicked, this, &CommissionDialog::k_sen_ok_click);

    Label7 = label(this, QStringLiteral("Label7"), QStringLiteral("消費税率"), 240, 3240, 855);
    Label8 = label(this, QStringLiteral("Label8"), QStringLiteral("売却時の税率"), 1320, 3240, 1215);
    l_tax_rate = box(this, QStringLiteral("l_tax_rate"), 120, 3480, 855,
                     QStringLiteral("手数料にかかる消費税の率(%)。10%は10です"));
    l_sale_tax = box(this, QStringLiteral("l_sale_tax"), 1320, 3480, 855,
                     QStringLiteral("売却時に約定代金にかかる税の率(%)。1.05%は1.05、なしは0です"));
    label(this, QStringLiteral("Label9"), QStringLiteral("%"), 1005, 3480, 255);
    label(this, QStringLiteral("Label10"), QStringLiteral("%"), 2205, 3480, 255);
    k_tax_now = button(this, QStringLiteral("k_tax_now"), QStringLiteral("現在の税率"), 120, 3870, 1695, 375);
    k_tax_now->setToolTip(QStringLiteral("消費税率10%、売却時の税率0%を入れます"));
    k_no_fee = button(this, QStringLiteral("k_no_fee"), QStringLiteral("手数料なし"), 1920, 3870, 1695, 375);
    k_no_fee->setToolTip(QStringLiteral("手数料率、付加、下限、上限をすべて0にします"));
    for (QPushButton* b : {k_tax_now, k_no_fee}) b->setAutoDefault(false);
    connect(k_tax_now, &QPushButton::clicked, this, &CommissionDialog::k_tax_now_click);
    connect(k_no_fee, &QPushButton::clicked, this, &CommissionDialog::k_no_fee_click);
}

void CommissionDialog::fill_boxes() {
    for (size_t i = 0; i + 1 < fee_brackets; ++i) l_sep_cost[i]->setText(currency_box_text(table_.fee_limit[i]));
    for (size_t i = 0; i < fee_brackets; ++i) {
        l_sep_riritu[i]->setText(qt_text(float_text(table_.fee_rate[i])));
        l_sep_add[i]->setText(currency_box_text(table_.fee_add[i]));
    }
    l_max->setText(qt_text(int_text(table_.fee_max)));
    l_mini->setText(qt_text(int_text(table_.fee_min)));
    l_tax_rate->setText(qt_text(steps_text(table_.consumption_tax, FeeTable::consumption_tax_decimals)));
    l_sale_tax->setText(qt_text(steps_text(table_.sale_levy, FeeTable::sale_levy_decimals)));
}

FeeTable CommissionDialog::read_boxes() const {
    FeeTable t = table_;
    for (size_t i = 0; i < fee_brackets; ++i) {
        if (i + 1 < fee_brackets) t.fee_limit[i] = text_to_int32(number_text(l_sep_cost[i]->text()));
        t.fee_rate[i] = text_to_float(number_text(l_sep_riritu[i]->text()));
        t.fee_add[i] = text_to_int32(number_text(l_sep_add[i]->text()));
    }
    t.fee_max = integer_or_zero(l_max);
    t.fee_min = integer_or_zero(l_mini);
    t.consumption_tax = text_to_steps(number_text(l_tax_rate->text()), FeeTable::consumption_tax_decimals);
    t.sale_levy = text_to_steps(number_text(l_sale_tax->text()), FeeTable::sale_levy_decimals);
    return t;
}

// The whole table is converted before any of it is stored, so a box that does
// not convert leaves the table as it was and the dialog open for correction.
void CommissionDialog::k_sen_ok_click() {
    run_guarded(
        platform_,
        [this] {
            table_ = read_boxes();
            accept();
        },
        QStringLiteral("数字でお願いします"));
}

// Today the consumption tax is 10% and a sale of listed shares bears no levy.
void CommissionDialog::k_tax_now_click() {
    l_tax_rate->setText(QStringLiteral("10"));
    l_sale_tax->setText(QStringLiteral("0"));
}

// The bounds of the brackets stay: only what the broker charges goes.
void CommissionDialog::k_no_fee_click() {
    for (size_t i = 0; i < fee_brackets; ++i) {
        l_sep_riritu[i]->setText(QStringLiteral("0"));
        l_sep_add[i]->setText(currency_box_text(0));
    }
    l_mini->setText(QStringLiteral("0"));
    l_max->setText(QStringLiteral("0"));
}

void m_kabusen_click(Session& session) {
    CommissionDialog dialog(session.portfolio.fees, session.platform, session.dialog_parent);
    dialog.fill_boxes();
    session.platform.run_modal(dialog);
    if (dialog.result() == QDialog::Accepted) session.document.set_fees(dialog.table());
}

}  // namespace chomaru
