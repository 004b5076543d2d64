#include "reports/nisa_window.h"

#include <QLabel>
#include <QStringList>

#include "store/regional_text.h"
#include "ui/flex_grid.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/window_places.h"

namespace chomaru {

namespace {

constexpr int window_width = 8700;

QString money(Currency value) { return qt_text(format_currency(value)); }

QLabel* text_label(QWidget* parent, const char* name, int top, int height) {
    return text_block(parent, QString::fromLatin1(name), QString(), 120, top, window_width, height);
}

// Entry i's amount; red when it passes `limit`.
void set_used(FlexGrid* g, int i, int col, Currency used, std::optional<Currency> limit) {
    g->set_text(i + 1, col, money(used));
    if (limit && used > *limit) {
        g->item(i, col)->setForeground(Qt::red);
        g->item(i, col)->setToolTip(QStringLiteral("上限%1を超えています").arg(money(*limit)));
    }
}

}  // namespace

NisaWindow::NisaWindow(const Portfolio& portfolio, int this_year, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_nisa"));
    setWindowTitle(QStringLiteral("NISA投資枠"));
    setFixedSize(twips(this, window_width + 240), twips(this, 4740));

    const QStringList headings{QStringLiteral("年"),
                               QStringLiteral("成長投資枠"),
                               QStringLiteral("つみたて投資枠"),
                               QStringLiteral("生涯投資枠（簿価）"),
                               QStringLiteral("うち成長投資枠"),
                               QStringLiteral("旧NISA（簿価）")};
    nisa_fig = figure_table(this, QStringLiteral("nisa_fig"), headings, {700, 1500, 1500, 1800, 1600, 1500}, 120, 120,
                            window_width, 1860);

    limits = text_label(this, "limits", 2070, 510);
    limits->setText(QStringLiteral("上限　年間：成長投資枠 %1、つみたて投資枠 %2\n　　　生涯：%3（うち成長投資枠 %4）")
                        .arg(money(growth_annual_limit), money(tsumitate_annual_limit), money(lifetime_limit),
                             money(growth_lifetime_limit)));
    room = text_label(this, "room", 2640, 255);
    note = text_label(this, "note", 3000, 1020);
    note->setText(QStringLiteral(
        "※ 年間投資枠は記録した買いの代金で数えます。生涯投資枠は簿価（保有しているNISAの株の取得費）で数え、"
        "売却した株の簿価の分は翌年から空きます。売却しても年間投資枠は戻りません。旧NISAは別枠で、"
        "新しいNISAの枠には数えません。記録から計算した目安で、証券会社の管理する枠と違うことがあります。"
        "税務上の助言ではありません。"));
    left_out = text_label(this, "left_out", 4080, 540);
    left_out->setStyleSheet(QStringLiteral("color: red"));
    nisa_fig->fill_width();
    lay_out_placed(*this, {{{nisa_fig}, 1}, {{limits}}, {{room}}, {{note}}, {{left_out}}});

    const NisaAllowance allowance = nisa_allowance(portfolio, this_year);
    const int years = int(allowance.years.size());
    nisa_fig->set_rows(years + 1);
    for (int i = 0; i < years; ++i) {
        const NisaYear& y = allowance.years[size_t(i)];
        nisa_fig->set_text(i + 1, 0, QString::number(y.year));
        set_used(nisa_fig, i, 1, y.growth, growth_annual_limit);
        set_used(nisa_fig, i, 2, y.tsumitate, tsumitate_annual_limit);
        set_used(nisa_fig, i, 3, y.lifetime, lifetime_limit);
        set_used(nisa_fig, i, 4, y.growth_lifetime, growth_lifetime_limit);
        set_used(nisa_fig, i, 5, y.old_nisa, std::nullopt);
    }
    if (years > 0) {
        const NisaYear& last = allowance.years.back();
        const NisaRoom left = nisa_room(last);
        room->setText(QStringLiteral("%1年にまだ買える額：成長投資枠 %2、つみたて投資枠 %3")
                          .arg(last.year)
                          .arg(money(left.growth), money(left.tsumitate)));
        nisa_fig->scroll_to_row(years);
    }
    QStringList names;
    for (const int32_t i : allowance.left_out) {
        const Stock& s = portfolio.stocks.at(size_t(i));
        names << qt_text(s.stock_code + s.stock_name);
    }
    if (!names.isEmpty())
        left_out->setText(names.join(QStringLiteral("、")) +
                          QStringLiteral("：記録の日付が読めないか計算できないため、数えていません"));
    nisa_fig->setFocus();
}

void m_nisa_click(Session& session) {
    NisaWindow form(session.portfolio, session.platform.today().year, session.dialog_parent);
    open_over_parent(form, session.platform, "nisa");
    session.platform.run_modal(form);
}

}  // namespace chomaru
