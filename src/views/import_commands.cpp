#include "views/import_commands.h"

#include <QStringList>
#include <optional>
#include <string>

#include "accounting/position.h"
#include "imports/csv_text.h"
#include "imports/holdings.h"
#include "imports/import_file.h"
#include "imports/import_plan.h"
#include "imports/trade_history.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "views/import_preview_dialog.h"

namespace chomaru {

namespace {

const QString trades_caption = QStringLiteral("取引履歴の取り込み");
const QString prices_caption = QStringLiteral("現在値の取り込み");
const QString csv_filter = QStringLiteral("CSVファイル (*.csv)");

QString file_name(const std::filesystem::path& file) { return qt_path(file.filename()); }

void tell_not_imported(Platform& platform, const QString& caption, const std::filesystem::path& file,
                       const std::string& reason) {
    platform.message_box(file_name(file) + QStringLiteral(" を取り込めません。\r\n") + qt_text(reason),
                         QMessageBox::Critical, QMessageBox::Ok, caption);
}

std::optional<ImportFile> read_file(Platform& platform, const QString& caption, const std::filesystem::path& file) {
    try {
        return read_import_file(file);
    } catch (const ImportError& e) {
        tell_not_imported(platform, caption, file, e.what());
        return std::nullopt;
    }
}

QString count_text(int count) { return QString::number(count) + QStringLiteral(" 件"); }

// "（12・15 行目）": the lines of the rows that do not read, the first few.
template <typename Rows, typename Unreadable>
QString lines_text(const Rows& rows, Unreadable unreadable) {
    constexpr int shown = 10;
    QStringList lines;
    int more = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (!unreadable(r)) continue;
        if (lines.size() < shown)
            lines << QString::number(rows[r].line);
        else
            ++more;
    }
    return QStringLiteral("（") + lines.join(QStringLiteral("・")) + QStringLiteral(" 行目") +
           (more > 0 ? QStringLiteral("ほか %1 行").arg(more) : QString()) + QStringLiteral("）");
}

// A price as the file gives it, its fraction too: "¥2,849.5".
QString exact_price_text(Currency price) {
    const Currency whole = Currency::from_units(price.units() - price.units() % Currency::units_per_yen);
    const std::string plain = currency_text(price);
    const size_t point = plain.find('.');
    return qt_text(format_currency(whole) + (point == std::string::npos ? std::string() : plain.substr(point)));
}

QString heading_text(const std::filesystem::path& file, const std::string& format, const std::string& encoding) {
    return QStringLiteral("ファイル：") + file_name(file) + QStringLiteral("\n形式：") + qt_text(format) +
           QStringLiteral("（文字コード：") + qt_text(encoding) + QStringLiteral("）");
}

bool preview_accepted(Session& session, const QString& caption, const QString& heading, PreviewTable table,
                      const QString& counts) {
    ImportPreviewDialog dialog(session.dialog_parent, caption, heading, std::move(table), counts);
    session.platform.run_modal(dialog);
    return dialog.result() == QDialog::Accepted;
}

// The changes that stopped an import, as the user is told of them.
template <typename Import>
void run_import(Platform& platform, const QString& caption, Import import) {
    try {
        import();
    } catch (const ImportError& e) {
        platform.message_box(qt_text(e.what()), QMessageBox::Critical, QMessageBox::Ok, caption);
    } catch (const OverflowError&) {
        platform.message_box(QStringLiteral("保有株数か金額が扱える範囲を超える銘柄があるため、取り込みませんでした。"),
                             QMessageBox::Critical, QMessageBox::Ok, caption);
    }
}

// The trade history.

enum TradeColumn { t_line, t_date, t_code, t_name, t_account, t_side, t_shares, t_price, t_amount, t_status };

PreviewTable trade_table(const TradeHistory& history, const ImportPlan& plan) {
    PreviewTable table;
    for (const char* heading : {"行", "約定日", "コード", "銘柄", "口座", "売買", "数量", "単価", "受渡金額", "状態"})
        table.columns.push_back({QString::fromUtf8(heading), false});
    for (const int c : {t_line, t_shares, t_price, t_amount}) table.columns[size_t(c)].right_aligned = true;
    table.rows = int(history.rows.size());
    table.text = [&history, &plan](int r, int c) -> QString {
        const TradeRow& row = history.rows[size_t(r)];
        const bool trade = row.status == RowStatus::trade;
        switch (c) {
        case t_line:
            return QString::number(row.line);
        case t_date:
            return row.date ? qt_text(short_date_text(*row.date)) : QString();
        case t_code:
            return qt_text(row.code);
        case t_name:
            return qt_text(row.name);
        case t_account:
            // A row whose account is not known names it in its status.
            return row.account_unknown ? QString() : qt_text(std::string(account_name(row.account)));
        case t_side:
            return trade ? (row.side == TradeSide::buy ? QStringLiteral("買い") : QStringLiteral("売り")) : QString();
        case t_shares:
            return row.shares > 0 ? qt_text(format_grouped(row.shares)) : QString();
        case t_price:
            return trade ? exact_price_text(row.unit_price) : QString();
        case t_amount:
            return trade ? qt_text(format_currency(row.amount)) : QString();
        default:
            return qt_text(plan_status_text(plan.rows[size_t(r)], row));
        }
    };
    table.mark = [&plan](int r, int c) {
        const PlannedRow& p = plan.rows[size_t(r)];
        switch (p.status) {
        case PlanStatus::import:
            if (c == t_status && (p.computed || p.oversold)) return PreviewMark::warning;
            if (c == t_amount && p.computed) return PreviewMark::warning;
            return PreviewMark::none;
        case PlanStatus::duplicate:
        case PlanStatus::not_trade:
            return PreviewMark::skipped;
        default:
            return PreviewMark::fault;
        }
    };
    return table;
}

QString trade_counts(const TradeHistory& history, const ImportPlan& plan) {
    const ImportCounts& c = plan.counts;
    QString text = QStringLiteral("取り込む ") + count_text(c.to_import);
    QStringList within;
    if (c.computed > 0) within << QStringLiteral("計算 ") + count_text(c.computed);
    if (c.oversold > 0) within << QStringLiteral("保有超過 ") + count_text(c.oversold);
    if (!within.isEmpty()) text += QStringLiteral("（うち ") + within.join(QStringLiteral("、")) + QStringLiteral("）");
    text +=
        QStringLiteral("、重複 ") + count_text(c.duplicates) + QStringLiteral("、対象外 ") + count_text(c.not_trades);
    if (c.over_capacity > 0) text += QStringLiteral("、上限超過 ") + count_text(c.over_capacity);
    if (c.unreadable > 0)
        text += QStringLiteral("、読めない行 ") + count_text(c.unreadable) +
                lines_text(history.rows, [&](size_t r) { return plan.rows[r].status == PlanStatus::unreadable; });
    if (!plan.new_entries.empty())
        text += QStringLiteral("\n新しく登録する銘柄 ") + count_text(int(plan.new_entries.size()));
    return text;
}

void tell_unreadable_dates(Session& session, const std::vector<std::pair<int32_t, UnreadableDate>>& stocks) {
    if (stocks.empty()) return;
    QString text = QStringLiteral(
        "次の銘柄は記録の日付が読めないため、保有株数、平均買い単価、利益を計算し直していません。"
        "記録の日付を直して下さい。");
    for (const auto& [entry, date] : stocks) {
        const Stock& s = session.portfolio.stocks[size_t(entry)];
        text += QStringLiteral("\r\n") + qt_text(s.stock_code + " " + shown_name(s)) + QStringLiteral("：") +
                qt_text(unreadable_date_text(date));
    }
    session.platform.message_box(text, QMessageBox::Warning, QMessageBox::Ok, trades_caption);
}

void import_trades(Session& session, const std::filesystem::path& file, const std::string& bytes) {
    Platform& platform = session.platform;
    TradeHistory history;
    try {
        history = read_trade_history(bytes);
    } catch (const ImportError& e) {
        tell_not_imported(platform, trades_caption, file, e.what());
        return;
    }
    const ImportPlan plan = plan_import(session.portfolio, history);
    if (!preview_accepted(session, trades_caption, heading_text(file, history.format, history.encoding),
                          trade_table(history, plan), trade_counts(history, plan)))
        return;
    run_import(platform, trades_caption, [&] {
        const auto unreadable = session.document.import_trades(plan, core_text(file_name(file)));
        const ImportCounts& c = plan.counts;
        platform.message_box(QStringLiteral("%1 件を取り込みました（重複 %2 件、対象外 %3 件）")
                                 .arg(c.to_import)
                                 .arg(c.duplicates)
                                 .arg(c.not_trades),
                             QMessageBox::Information, QMessageBox::Ok, trades_caption);
        tell_unreadable_dates(session, unreadable);
    });
}

// The holdings list.

enum PriceColumn {
    p_line,
    p_code,
    p_name,
    p_account,
    p_shares,
    p_price,
    p_date,
    p_entry,
    p_held,
    p_old_price,
    p_status
};

PreviewTable price_table(const Holdings& holdings, const PricePlan& plan, const Portfolio& portfolio) {
    PreviewTable table;
    for (const char* heading :
         {"行", "コード", "銘柄", "口座", "数量", "現在値", "更新日", "登録銘柄", "保有株数", "今の現在値", "状態"})
        table.columns.push_back({QString::fromUtf8(heading), false});
    for (const int c : {p_line, p_shares, p_price, p_held, p_old_price}) table.columns[size_t(c)].right_aligned = true;
    table.rows = int(holdings.rows.size());
    table.text = [&holdings, &plan, &portfolio](int r, int c) -> QString {
        const HoldingRow& row = holdings.rows[size_t(r)];
        const PricedRow& p = plan.rows[size_t(r)];
        const bool stock = row.status == RowStatus::trade;
        const bool matched = p.entry >= 0;
        switch (c) {
        case p_line:
            return QString::number(row.line);
        case p_code:
            return qt_text(row.code);
        case p_name:
            return qt_text(row.name);
        case p_account:
            return stock ? qt_text(std::string(account_name(row.account))) : QString();
        case p_shares:
            return row.shares > 0 ? qt_text(format_grouped(row.shares)) : QString();
        case p_price:
            return stock ? exact_price_text(row.price) : QString();
        case p_date:
            return stock ? qt_text(short_date_text(row.price_date)) : QString();
        case p_entry:
            if (!stock) return QString();
            return matched ? qt_text(shown_name(portfolio.stocks[size_t(p.entry)])) : QStringLiteral("一致なし");
        case p_held:
            return matched ? qt_text(format_grouped(p.held_shares)) : QString();
        case p_old_price:
            if (!p.old_price) return matched ? QStringLiteral("—") : QString();
            return exact_price_text(p.old_price->price) + QStringLiteral("（") + qt_text(p.old_price->date) +
                   QStringLiteral("）");
        default:
            switch (row.status) {
            case RowStatus::trade:
                if (!matched) return QStringLiteral("一致なし");
                if (!p.shares_differ) return QStringLiteral("取り込む");
                return QStringLiteral("取り込む・株数が違います（ファイル %1 株、保有 %2 株）")
                    .arg(qt_text(format_grouped(p.file_shares)), qt_text(format_grouped(p.held_shares)));
            case RowStatus::not_trade:
                return QStringLiteral("対象外：") + qt_text(row.reason);
            case RowStatus::unreadable:
                break;
            }
            return QStringLiteral("読めません：") + qt_text(row.reason);
        }
    };
    table.mark = [&holdings, &plan](int r, int c) {
        const RowStatus status = holdings.rows[size_t(r)].status;
        const PricedRow& p = plan.rows[size_t(r)];
        if (status == RowStatus::unreadable) return PreviewMark::fault;
        if (status == RowStatus::not_trade || p.entry < 0) return PreviewMark::skipped;
        if (p.shares_differ && (c == p_shares || c == p_held || c == p_status)) return PreviewMark::warning;
        return PreviewMark::none;
    };
    return table;
}

QString price_counts(const Holdings& holdings, const PricePlan& plan) {
    int differ = 0;
    for (const EntryPrice& e : plan.prices)
        for (const PricedRow& p : plan.rows)
            if (p.entry == e.entry) {
                differ += p.shares_differ;
                break;
            }
    QString text = QStringLiteral("現在値を取り込む銘柄 ") + count_text(int(plan.prices.size())) +
                   QStringLiteral("、一致なし ") + count_text(plan.unmatched) + QStringLiteral("、対象外 ") +
                   count_text(plan.not_stocks);
    if (plan.unreadable > 0)
        text += QStringLiteral("、読めない行 ") + count_text(plan.unreadable) +
                lines_text(holdings.rows, [&](size_t r) { return holdings.rows[r].status == RowStatus::unreadable; });
    if (differ > 0)
        text += QStringLiteral("\n株数が帳丸の保有株数と違う銘柄 ") + count_text(differ) +
                QStringLiteral("（現在値のほかは何も変えません）");
    return text;
}

void import_prices(Session& session, const std::filesystem::path& file, const ImportFile& read) {
    Platform& platform = session.platform;
    Holdings holdings;
    try {
        holdings = read_holdings(read.bytes, read.modified);
    } catch (const ImportError& e) {
        tell_not_imported(platform, prices_caption, file, e.what());
        return;
    }
    const PricePlan plan = plan_prices(session.portfolio, holdings);
    if (!preview_accepted(session, prices_caption, heading_text(file, holdings.format, holdings.encoding),
                          price_table(holdings, plan, session.portfolio), price_counts(holdings, plan)))
        return;
    run_import(platform, prices_caption, [&] {
        session.document.import_prices(plan, core_text(file_name(file)));
        platform.message_box(QStringLiteral("%1 件の現在値を取り込みました（一致なし %2 件、対象外 %3 件）")
                                 .arg(plan.prices.size())
                                 .arg(plan.unmatched)
                                 .arg(plan.not_stocks),
                             QMessageBox::Information, QMessageBox::Ok, prices_caption);
    });
}

std::filesystem::path choose_file(Platform& platform, const QString& caption) {
    return platform.choose_open_file(caption, csv_filter);
}

}  // namespace

void m_import_click(Session& session) {
    const std::filesystem::path file = choose_file(session.platform, trades_caption);
    if (file.empty()) return;
    if (const std::optional<ImportFile> read = read_file(session.platform, trades_caption, file))
        import_trades(session, file, read->bytes);
}

void m_price_import_click(Session& session) {
    const std::filesystem::path file = choose_file(session.platform, prices_caption);
    if (file.empty()) return;
    if (const std::optional<ImportFile> read = read_file(session.platform, prices_caption, file))
        import_prices(session, file, *read);
}

void import_file(Session& session, const std::filesystem::path& file) {
    const std::optional<ImportFile> read = read_file(session.platform, trades_caption, file);
    if (!read) return;
    if (classify_import_file(read->bytes) == ImportFileKind::holdings)
        import_prices(session, file, *read);
    else
        import_trades(session, file, read->bytes);
}

}  // namespace chomaru
