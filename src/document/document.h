#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "accounting/position.h"
#include "document/recovery_file.h"
#include "document/undo_history.h"
#include "document/views.h"
#include "store/portfolio.h"
#include "store/safe_file.h"
#include "store/stock_order.h"

namespace chomaru {

struct ImportPlan;
struct PricePlan;

// The changes the document knows, each one step of the undo history. The
// menu names a step after its operation and the stock it concerned.
enum class Operation {
    buy,
    sale,
    new_stock,
    stock_info_change,  // a code, name or dividend changed in the information grid
    buy_correction,
    sale_correction,
    reorder,
    code_change,
    name_change,
    dividend_change,
    fee_settings,
    buy_deletion,
    sale_deletion,
    stock_deletion,
    account_change,
    price_change,
    split,
    split_deletion,
    payment,
    payment_correction,
    payment_deletion,
    trade_import,  // a broker's trade history
    price_import,  // the current prices of a broker's holdings list
};

// The step's name in the undo menu, "買い" for Operation::buy.
const char* operation_name(Operation operation);

// The program's data and everything that follows it: the undo history and
// the recovery file. Every change goes through one of the operations below.
// Each validates, stores and recomputes the figures of the stocks it
// touched, records one undo step and tells the observer which views it left
// out of date; or it changes nothing at all and raises. An operation that
// leaves the data as it was records no step.
class Document {
public:
    explicit Document(std::unique_ptr<Portfolio> data);

    const Portfolio& portfolio() const { return *data_; }
    const Stock& selected() const { return data_->current(); }

    // Told after every change, and after undo and redo, which views it left
    // out of date.
    void set_observer(std::function<void(Views)> observer) { observer_ = std::move(observer); }

    // The records of the selected stock, its figures recomputed by
    // replaying them in date order. A record table that is full raises
    // OverflowError; so does a figure out of range. When a record's date
    // does not read, the change is stored with the figures as they were and
    // that record is returned.
    std::optional<UnreadableDate> add_buy(const TradeRecord& record);
    std::optional<UnreadableDate> add_sale(const TradeRecord& record);
    // Record `index` (0-based) of one side of the selected stock becomes
    // `record`. An index outside the records raises std::out_of_range.
    std::optional<UnreadableDate> change_record(TradeSide side, int32_t index, const TradeRecord& record,
                                                Operation named);
    std::optional<UnreadableDate> remove_record(TradeSide side, int32_t index);

    // A new stock after the last one, selected. Raises OverflowError when
    // the portfolio holds max_stocks already.
    void add_stock(std::string code, std::string name);
    // The selected stock with its records; the first stock becomes the
    // selected one. The only stock is blanked instead.
    void remove_selected_stock();
    void set_code(std::string code, Operation named = Operation::code_change);
    void set_name(std::string name, Operation named = Operation::name_change);
    void set_dividend(int32_t dividend, Operation named = Operation::dividend_change);
    void set_fees(const FeeTable& fees);

    // The account the selected stock is held in.
    void set_account(AccountType account);
    // The selected stock's quoted price and its date; nothing clears it.
    void set_price(const std::optional<QuotedPrice>& price);
    // A split or consolidation of the selected stock, kept in date order
    // after those of its date, and the figures recomputed. A date that is
    // not yyyy/mm/dd or a ratio outside 1..1000 raises
    // std::invalid_argument; a figure out of range OverflowError.
    std::optional<UnreadableDate> add_split(const Split& split);
    // Split `index` (0-based, in date order) of the selected stock. An index
    // outside the splits raises std::out_of_range.
    std::optional<UnreadableDate> remove_split(int32_t index);
    // The dividends received by the selected stock, kept in payment date
    // order: a payment goes after those of its date and before later ones,
    // also when its date is changed. A date that is not a real date written
    // yyyy/mm/dd raises std::invalid_argument; an index outside the
    // payments raises std::out_of_range.
    void add_payment(const DividendPayment& payment);
    void change_payment(int32_t index, const DividendPayment& payment);
    void remove_payment(int32_t index);
    // Applies a finished order (every stock placed once); the first stock
    // becomes the selected one. An unfinished order raises
    // std::invalid_argument.
    void reorder(const SortWork& work);
    // Carries out a trade history's import as planned on the data as it is
    // (plan_import), then recomputes every entry it touched, as one step
    // named "取り込み <file name>（<trades>件）". A plan made on other data
    // raises ImportError and changes nothing. Returns the entries whose
    // figures stayed as they were because a record's date does not read.
    std::vector<std::pair<int32_t, UnreadableDate>> import_trades(const ImportPlan& plan, const std::string& file_name);
    // Sets the current price and its date of every entry the plan prices
    // (plan_prices), as one step named "現在値の取り込み <file name>（<n>件）".
    // A plan naming an entry the data does not have raises ImportError and
    // changes nothing.
    void import_prices(const PricePlan& plan, const std::string& file_name);
    // The data of a first run: one stock with the given code and name, no
    // records, the default commission table. Not a step: the history starts
    // from here.
    void begin_afresh(std::string code, std::string name);
    // Selects a stock; not a step of the history. An index outside the
    // stocks is ignored.
    void select(int32_t index);

    // The state before the last step, or after the last undone one. False
    // when there is nothing to do.
    bool undo();
    bool redo();
    bool can_undo() const { return history_.can_undo(); }
    bool can_redo() const { return history_.can_redo(); }
    const std::string& undo_name() const { return history_.undo_name(); }
    const std::string& redo_name() const { return history_.redo_name(); }

    // From now on the data of every change is left in `file`, written
    // through the file system `fs` gives at the time; `trouble` hears why it
    // could not be written, once for each cause.
    void keep_recovery(RecoveryFile file, std::function<FileSystem&()> fs,
                       std::function<void(const std::string&)> trouble);
    // The data file was just saved with the data as it stands: the recovery
    // file goes, and comes back with the next change.
    void saved();
    // The recovery file goes for good (a saved exit, or changes discarded).
    void drop_recovery();

private:
    // Runs `change` on the data as one step named after `operation` and the
    // selected stock (when the operation concerns one stock), or `name` when
    // given; on an exception the data is put back as it was and the
    // exception goes on.
    template <typename Change>
    void apply(Operation operation, Views views, Change&& change, std::string name = {});
    void changed(Views views);
    std::optional<UnreadableDate> add_record(TradeSide side, const TradeRecord& record);

    std::unique_ptr<Portfolio> data_;
    UndoHistory history_;
    std::function<void(Views)> observer_;
    std::optional<RecoveryFile> recovery_;
    std::function<FileSystem&()> file_system_;
    std::function<void(const std::string&)> recovery_trouble_;
};

}  // namespace chomaru
