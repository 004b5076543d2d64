#include "document/document.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "accounting/position.h"
#include "imports/csv_text.h"
#include "imports/holdings.h"
#include "imports/import_plan.h"
#include "store/date_text.h"
#include "store/numbers.h"

namespace chomaru {

namespace {

struct OperationInfo {
    const char* name;
    // The order and the commissions concern every stock: their steps name
    // no stock.
    bool every_stock;
};

OperationInfo info(Operation operation) {
    switch (operation) {
    case Operation::buy:
        return {"買い", false};
    case Operation::sale:
        return {"売り", false};
    case Operation::new_stock:
        return {"新銘柄", false};
    case Operation::stock_info_change:
        return {"銘柄情報の変更", false};
    case Operation::buy_correction:
        return {"買い記録の修正", false};
    case Operation::sale_correction:
        return {"売り記録の修正", false};
    case Operation::reorder:
        return {"並べ替え", true};
    case Operation::code_change:
        return {"コードの変更", false};
    case Operation::name_change:
        return {"銘柄名の変更", false};
    case Operation::dividend_change:
        return {"配当の変更", false};
    case Operation::fee_settings:
        return {"手数料設定", true};
    case Operation::buy_deletion:
        return {"買い記録の削除", false};
    case Operation::sale_deletion:
        return {"売り記録の削除", false};
    case Operation::stock_deletion:
        return {"全記録の削除", false};
    case Operation::account_change:
        return {"口座区分の変更", false};
    case Operation::price_change:
        return {"現在値の変更", false};
    case Operation::split:
        return {"株式分割・併合", false};
    case Operation::split_deletion:
        return {"分割・併合の削除", false};
    case Operation::payment:
        return {"配当金の記録", false};
    case Operation::payment_correction:
        return {"配当金の修正", false};
    case Operation::payment_deletion:
        return {"配当金の削除", false};
    case Operation::trade_import:
        return {"取り込み", true};
    case Operation::price_import:
        return {"現在値の取り込み", true};
    }
    throw std::invalid_argument("unknown operation");
}

// The first `count` characters of UTF-8 text.
std::string first_chars(const std::string& text, size_t count) {
    size_t end = 0;
    for (size_t chars = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) continue;
        if (chars++ == count) break;
    }
    return text.substr(0, end);
}

// "買い 7203 トヨタ": the operation and the stock it concerned, kept short
// for the menu.
std::string step_name(Operation operation, const Stock& stock) {
    const OperationInfo about = info(operation);
    std::string text = about.name;
    if (about.every_stock) return text;
    if (!stock.stock_code.empty()) text += " " + stock.stock_code;
    if (!stock.stock_name.empty()) text += " " + first_chars(stock.stock_name, 16);
    return text;
}

// "取り込み yakujo.csv（12件）": an import is named after its file, kept
// short for the menu, and the count of what it changed.
std::string import_step_name(Operation operation, const std::string& file_name, size_t count) {
    const std::string shown = first_chars(file_name, 40);
    return std::string(info(operation).name) + " " + shown + (shown.size() < file_name.size() ? "…" : "") + "（" +
           std::to_string(count) + "件）";
}

RecordTable& records_of(Stock& stock, TradeSide side) { return side == TradeSide::buy ? stock.buys : stock.sells; }
int32_t& count_of(Stock& stock, TradeSide side) { return side == TradeSide::buy ? stock.buy_count : stock.sell_count; }

// The data file keeps a payment's date as a real date written yyyy/mm/dd.
// A date a split or a payment is stored with: a real date written
// yyyy/mm/dd, or std::invalid_argument.
void check_stored_date(const std::string& date) {
    try {
        if (short_date_text(text_to_date(date)) == date) return;
    } catch (const ConversionError&) {
    }
    throw std::invalid_argument("a date must be a real date written yyyy/mm/dd");
}

// Puts a split or a payment after those of its date and before later ones;
// yyyy/mm/dd texts sort as their dates.
template <typename Dated>
void insert_by_date(std::vector<Dated>& list, const Dated& item) {
    const auto place = std::upper_bound(list.begin(), list.end(), item,
                                        [](const Dated& a, const Dated& b) { return a.date < b.date; });
    list.insert(place, item);
}

const DividendPayment& payment_at(const Stock& stock, int32_t index) {
    if (index < 0 || size_t(index) >= stock.payments.size()) throw std::out_of_range("no such payment");
    return stock.payments[size_t(index)];
}

}  // namespace

const char* operation_name(Operation operation) { return info(operation).name; }

Document::Document(std::unique_ptr<Portfolio> data) : data_(std::move(data)) {}

template <typename Change>
void Document::apply(Operation operation, Views views, Change&& change, std::string name) {
    PortfolioImage before = history_.before(*data_);
    if (name.empty()) name = step_name(operation, data_->current());
    try {
        change(*data_);
    } catch (...) {
        history_.restore(before, *data_);
        throw;
    }
    if (operation == Operation::new_stock) name = step_name(operation, data_->current());
    history_.record(name, std::move(before), *data_);
    changed(views);
}

void Document::changed(Views views) {
    if (observer_) observer_(views);
    if (!recovery_) return;
    if (const auto failure = recovery_->update(*data_, file_system_()))
        if (recovery_trouble_) recovery_trouble_(*failure);
}

std::optional<UnreadableDate> Document::add_buy(const TradeRecord& record) {
    return add_record(TradeSide::buy, record);
}

std::optional<UnreadableDate> Document::add_sale(const TradeRecord& record) {
    return add_record(TradeSide::sell, record);
}

std::optional<UnreadableDate> Document::add_record(TradeSide side, const TradeRecord& record) {
    const bool buy = side == TradeSide::buy;
    std::optional<UnreadableDate> unreadable;
    apply(buy ? Operation::buy : Operation::sale,
          (buy ? View::buy_records | View::new_buy_record : View::sell_records | View::new_sell_record) |
              View::analysis | View::ratio_table,
          [&](Portfolio& data) {
              Stock& stock = data.current();
              append_record(records_of(stock, side), count_of(stock, side), record);
              unreadable = recompute_figures(stock);
          });
    return unreadable;
}

// A date moves the record in date order, so any change recomputes the
// figures; a record left as it was changes nothing, not even the yield's
// last bits.
std::optional<UnreadableDate> Document::change_record(TradeSide side, int32_t index, const TradeRecord& record,
                                                      Operation named) {
    Stock& selected = data_->current();
    if (index < 0 || index >= count_of(selected, side)) throw std::out_of_range("no such record");
    if (record == records_of(selected, side).at(size_t(index))) return std::nullopt;
    std::optional<UnreadableDate> unreadable;
    apply(named, (side == TradeSide::buy ? View::buy_records : View::sell_records) | View::analysis | View::ratio_table,
          [&](Portfolio& data) {
              Stock& stock = data.current();
              records_of(stock, side)[size_t(index)] = record;
              unreadable = recompute_figures(stock);
          });
    return unreadable;
}

std::optional<UnreadableDate> Document::remove_record(TradeSide side, int32_t index) {
    std::optional<UnreadableDate> unreadable;
    apply(side == TradeSide::buy ? Operation::buy_deletion : Operation::sale_deletion,
          View::analysis | View::trade_grids | View::buy_records | View::sell_records | View::ratio_table,
          [&](Portfolio& data) {
              Stock& stock = data.current();
              chomaru::remove_record(records_of(stock, side), count_of(stock, side), index);
              unreadable = recompute_figures(stock);
          });
    return unreadable;
}

void Document::add_stock(std::string code, std::string name) {
    if (data_->stock_count() >= max_stocks) throw OverflowError("the stocks are full");
    apply(Operation::new_stock, all_views, [&](Portfolio& data) {
        data.last_stock += 1;
        data.current_stock = data.last_stock;
        z_data_init(data);
        data.current().stock_code = std::move(code);
        data.current().stock_name = std::move(name);
    });
}

void Document::remove_selected_stock() {
    apply(Operation::stock_deletion, all_views, [](Portfolio& data) { remove_current_stock(data); });
}

void Document::set_code(std::string code, Operation named) {
    apply(named, View::stock_info, [&](Portfolio& data) { data.current().stock_code = std::move(code); });
}

void Document::set_name(std::string name, Operation named) {
    apply(named, View::stock_info | View::selector,
          [&](Portfolio& data) { data.current().stock_name = std::move(name); });
}

void Document::set_dividend(int32_t dividend, Operation named) {
    // The yield would be worked out again and could move in its last bits.
    if (dividend == data_->current().dividend) return;
    apply(named, View::stock_info | View::analysis, [&](Portfolio& data) {
        data.current().dividend = dividend;
        update_dividend_yield(data.current());
    });
}

void Document::set_fees(const FeeTable& fees) {
    apply(Operation::fee_settings, View::analysis, [&](Portfolio& data) { data.fees = fees; });
}

void Document::set_account(AccountType account) {
    if (account == data_->current().account) return;
    apply(Operation::account_change, View::selector, [&](Portfolio& data) { data.current().account = account; });
}

void Document::set_price(const std::optional<QuotedPrice>& price) {
    if (price == data_->current().price) return;
    apply(Operation::price_change, View::analysis | View::ratio_table,
          [&](Portfolio& data) { data.current().price = price; });
}

std::optional<UnreadableDate> Document::add_split(const Split& split) {
    check_stored_date(split.date);
    if (!is_split_ratio(split.before, split.after)) throw std::invalid_argument("a split's ratio is out of range");
    std::optional<UnreadableDate> unreadable;
    apply(Operation::split, View::splits | View::analysis | View::ratio_table, [&](Portfolio& data) {
        Stock& stock = data.current();
        insert_by_date(stock.splits, split);
        unreadable = recompute_figures(stock);
    });
    return unreadable;
}

std::optional<UnreadableDate> Document::remove_split(int32_t index) {
    const std::vector<Split>& splits = data_->current().splits;
    if (index < 0 || size_t(index) >= splits.size()) throw std::out_of_range("no such split");
    std::optional<UnreadableDate> unreadable;
    apply(Operation::split_deletion, View::splits | View::analysis | View::ratio_table, [&](Portfolio& data) {
        Stock& stock = data.current();
        stock.splits.erase(stock.splits.begin() + index);
        unreadable = recompute_figures(stock);
    });
    return unreadable;
}

void Document::add_payment(const DividendPayment& payment) {
    check_stored_date(payment.date);
    apply(Operation::payment, View::payments | View::new_payment,
          [&](Portfolio& data) { insert_by_date(data.current().payments, payment); });
}

// A payment keeps its place unless its date moves it.
void Document::change_payment(int32_t index, const DividendPayment& payment) {
    check_stored_date(payment.date);
    const DividendPayment& old = payment_at(data_->current(), index);
    if (old == payment) return;
    const bool moved = old.date != payment.date;
    apply(Operation::payment_correction, View::payments, [&](Portfolio& data) {
        std::vector<DividendPayment>& payments = data.current().payments;
        if (!moved) {
            payments[size_t(index)] = payment;
            return;
        }
        payments.erase(payments.begin() + index);
        insert_by_date(payments, payment);
    });
}

void Document::remove_payment(int32_t index) {
    payment_at(data_->current(), index);
    apply(Operation::payment_deletion, View::payments, [&](Portfolio& data) {
        std::vector<DividendPayment>& payments = data.current().payments;
        payments.erase(payments.begin() + index);
    });
}

void Document::reorder(const SortWork& work) {
    apply(Operation::reorder, all_views, [&](Portfolio& data) {
        z_ope_sort(data, work);
        data.current_stock = 0;
    });
}

std::vector<std::pair<int32_t, UnreadableDate>> Document::import_trades(const ImportPlan& plan,
                                                                        const std::string& file_name) {
    std::vector<std::pair<int32_t, UnreadableDate>> unreadable;
    apply(
        Operation::trade_import, all_views,
        [&](Portfolio& data) {
            for (const int32_t entry : apply_import(data, plan))
                if (const auto date = recompute_figures(data.stocks[size_t(entry)]))
                    unreadable.emplace_back(entry, *date);
        },
        import_step_name(Operation::trade_import, file_name, plan.trades.size()));
    return unreadable;
}

void Document::import_prices(const PricePlan& plan, const std::string& file_name) {
    apply(
        Operation::price_import, all_views,
        [&](Portfolio& data) {
            for (const EntryPrice& p : plan.prices)
                if (p.entry < 0 || p.entry > data.last_stock) stale_import_plan();
            for (const EntryPrice& p : plan.prices)
                data.stocks[size_t(p.entry)].price = QuotedPrice{p.price, short_date_text(p.date)};
        },
        import_step_name(Operation::price_import, file_name, plan.prices.size()));
}

void Document::begin_afresh(std::string code, std::string name) {
    reset_to_first_stock(*data_, std::move(code), std::move(name));
    history_.reset(*data_);
    changed(all_views);
}

void Document::select(int32_t index) {
    if (index < 0 || index > data_->last_stock) return;
    data_->current_stock = index;
    changed(all_views & ~Views(View::selector));
}

bool Document::undo() {
    if (!history_.undo(*data_)) return false;
    changed(all_views);
    return true;
}

bool Document::redo() {
    if (!history_.redo(*data_)) return false;
    changed(all_views);
    return true;
}

void Document::keep_recovery(RecoveryFile file, std::function<FileSystem&()> fs,
                             std::function<void(const std::string&)> trouble) {
    recovery_.emplace(std::move(file));
    file_system_ = std::move(fs);
    recovery_trouble_ = std::move(trouble);
}

void Document::saved() {
    if (!recovery_) return;
    recovery_->remove();
    recovery_->remember(*data_);
}

void Document::drop_recovery() {
    if (recovery_) recovery_->remove();
}

}  // namespace chomaru
