#include "imports/holdings.h"

#include <map>

#include "imports/cells.h"
#include "imports/csv_text.h"
#include "imports/entry_match.h"
#include "store/numbers.h"

namespace chomaru {

namespace {

enum class Layout { sbi, rakuten };

constexpr std::string_view format_names[] = {"SBI証券 ポートフォリオ", "楽天証券 保有商品一覧"};

constexpr size_t no_column = HeaderNames::none;

struct Columns {
    Layout layout = Layout::sbi;
    size_t kind = no_column;  // 楽天's 種別
    size_t code = no_column;  // SBI: code and name in one cell
    size_t name = no_column;
    size_t account = no_column;
    size_t shares = no_column;
    size_t price = no_column;
    size_t price_date = no_column;
    size_t needed = 0;
};

std::optional<Columns> header_columns(const std::vector<std::string_view>& fields) {
    const HeaderNames names(fields);
    Columns c;
    c.price = names.column("現在値");
    if (c.price == no_column) return std::nullopt;
    if (names.column("買付日") != no_column && names.column("取得単価") != no_column) {
        c.layout = Layout::sbi;
        c.code = names.column("銘柄コード");
        c.shares = names.column("数量");
    } else {
        c.layout = Layout::rakuten;
        c.kind = names.column("種別");
        c.code = names.column("銘柄コード・ティッカー");
        c.name = names.column("銘柄");
        c.account = names.column("口座");
        c.shares = names.column("保有数量");
        c.price_date = names.column("現在値更新日");
        if (c.kind == no_column || c.account == no_column) return std::nullopt;
    }
    if (c.code == no_column || c.shares == no_column) return std::nullopt;
    for (const size_t i : {c.kind, c.code, c.account, c.shares, c.price})
        if (i != no_column) c.needed = std::max(c.needed, i + 1);
    return c;
}

std::string_view cell(const std::vector<std::string_view>& fields, size_t i) {
    return i < fields.size() ? fields[i] : std::string_view();
}

// The account an SBI section title names: "株式（現物/特定預り）",
// "株式（現物/NISA預り（成長投資枠））"...; `why` is set for a section of
// anything but cash stocks, or of an unknown account.
std::optional<AccountType> section_account(std::string_view title, std::string& why) {
    const std::string normal = header_key(title);
    std::string_view key = normal;
    constexpr std::string_view stocks = "株式現物/";
    if (!key.starts_with(stocks)) {
        why = title.empty() ? "株式（現物）ではありません" : std::string(trim_blanks(title));
        return std::nullopt;
    }
    key.remove_prefix(stocks.size());
    struct Section {
        std::string_view name;
        AccountType type;
    };
    static constexpr Section sections[] = {
        {"特定預り", AccountType::tokutei},
        {"一般預り", AccountType::ippan},
        {"NISA預り成長投資枠", AccountType::nisa_growth},
        {"NISA預りつみたて投資枠", AccountType::nisa_tsumitate},
        {"旧NISA預り", AccountType::old_nisa},
        {"旧つみたてNISA預り", AccountType::old_nisa},
    };
    for (const Section& s : sections)
        if (s.name == key) return s.type;
    why = unknown_account_reason(title);
    return std::nullopt;
}

class HoldingsReader {
public:
    HoldingsReader(std::string_view bytes, const Date& file_date) : reader_(bytes), file_date_(file_date) {}

    const std::string& encoding() const { return reader_.encoding(); }

    // The rows of every table of the layout of the first header; nothing
    // when there is no header.
    std::optional<Holdings> read() {
        std::optional<Holdings> holdings;
        std::string title;  // the last line outside a table, an SBI section's title
        std::optional<Columns> table;
        while (reader_.next()) {
            const std::vector<std::string_view>& fields = reader_.fields();
            const size_t filled = filled_fields(fields);
            if (filled == 0) {
                table.reset();
                continue;
            }
            if (std::optional<Columns> header = header_columns(fields)) {
                if (!holdings) {
                    holdings.emplace();
                    holdings->format = format_names[size_t(header->layout)];
                }
                if (header->layout == format_layout(*holdings)) {
                    table = header;
                    section_ = title;
                }
                continue;
            }
            const std::string_view first = trim_blanks(fields[0]);
            // A line of one text, a section mark or a total ends a table.
            if (table && (filled == 1 || first.starts_with("■") || first.find("合計") != std::string_view::npos))
                table.reset();
            if (!table) {
                title = std::string(first);
                continue;
            }
            holdings->rows.push_back(read_row(*table, fields));
        }
        return holdings;
    }

private:
    static Layout format_layout(const Holdings& h) {
        return h.format == format_names[size_t(Layout::sbi)] ? Layout::sbi : Layout::rakuten;
    }

    static size_t filled_fields(const std::vector<std::string_view>& fields) {
        size_t n = 0;
        for (const std::string_view f : fields) n += !trim_blanks(f).empty();
        return n;
    }

    HoldingRow read_row(const Columns& c, const std::vector<std::string_view>& fields) {
        HoldingRow row;
        row.line = reader_.line();
        row.price_date = file_date_;
        std::string why;
        if (fields.size() < c.needed) {
            why = "列が足りません";
        } else if (c.layout == Layout::sbi) {
            if (const std::optional<AccountType> account = section_account(section_, why)) row.account = *account;
            split_code_cell(cell(fields, c.code), row);
        } else {
            row.code = std::string(trim_blanks(cell(fields, c.code)));
            row.name = std::string(trim_blanks(cell(fields, c.name)));
            const std::string_view kind = trim_blanks(cell(fields, c.kind));
            if (kind != "国内株式") {
                why = kind.empty() ? "種別がありません" : std::string(kind);
            } else if (const std::optional<AccountType> account = broker_account(cell(fields, c.account))) {
                row.account = *account;
            } else {
                why = unknown_account_reason(cell(fields, c.account));
            }
        }
        if (!why.empty()) {
            row.status = fields.size() < c.needed ? RowStatus::unreadable : RowStatus::not_trade;
            row.reason = std::move(why);
            return row;
        }
        try {
            read_stock(c, fields, row);
            row.status = RowStatus::trade;
        } catch (UnreadableCell& u) {
            row.status = RowStatus::unreadable;
            row.reason = std::move(u.why);
        }
        return row;
    }

    // "7203 トヨタ自動車": the code up to the first blank, the name after it.
    static void split_code_cell(std::string_view text, HoldingRow& row) {
        text = trim_blanks(text);
        size_t blank = text.find_first_of(" \t");
        const size_t wide = text.find("\u3000");
        if (wide < blank) blank = wide;
        row.code = std::string(text.substr(0, blank));
        row.name = blank == std::string_view::npos ? std::string() : std::string(trim_blanks(text.substr(blank)));
    }

    void read_stock(const Columns& c, const std::vector<std::string_view>& fields, HoldingRow& row) {
        row.code = std::string(texts_.take(row.code, "銘柄コード"));
        if (row.code.empty()) throw UnreadableCell{"銘柄コードがありません"};
        row.name = std::string(texts_.take(row.name, "銘柄名"));
        const std::string_view shares = cell(fields, c.shares);
        const std::optional<int32_t> count = shares_cell(shares);
        if (!count) unreadable_cell("数量", shares);
        row.shares = *count;
        const std::string_view price = cell(fields, c.price);
        try {
            const std::optional<Currency> value = money_cell(price);
            if (!value || *value <= Currency()) unreadable_cell("現在値", price);
            row.price = *value;
        } catch (const ConversionError&) {
            unreadable_cell("現在値", price);
        } catch (const OverflowError&) {
            unreadable_cell("現在値", price);
        }
        if (c.price_date == no_column) return;
        const std::string_view date = cell(fields, c.price_date);
        if (is_no_value(date)) return;
        const std::optional<Date> read = date_cell(date);
        if (!read) unreadable_cell("現在値(更新日)", date);
        row.price_date = *read;
    }

    ImportRecords reader_;
    Date file_date_;
    std::string section_;
    StorableTexts texts_;
};

}  // namespace

bool has_holdings_header(std::string_view bytes) {
    ImportRecords reader(bytes);
    while (reader.next())
        if (header_columns(reader.fields())) return true;
    return false;
}

Holdings read_holdings(std::string_view bytes, const Date& file_date) {
    HoldingsReader reader(bytes, file_date);
    std::optional<Holdings> holdings = reader.read();
    if (!holdings) throw ImportError("保有一覧の見出し行が見つかりません（銘柄コード・口座・保有数量・現在値）");
    holdings->encoding = reader.encoding();
    return std::move(*holdings);
}

PricePlan plan_prices(const Portfolio& portfolio, const Holdings& holdings) {
    PricePlan plan;
    plan.rows.resize(holdings.rows.size());
    const EntryMatch entries(portfolio);
    std::map<int32_t, int64_t> file_shares;
    for (size_t r = 0; r < holdings.rows.size(); ++r) {
        const HoldingRow& row = holdings.rows[r];
        if (row.status != RowStatus::trade) {
            ++(row.status == RowStatus::not_trade ? plan.not_stocks : plan.unreadable);
            continue;
        }
        const int32_t entry = entries.find(row.code, row.account);
        plan.rows[r].entry = entry;
        if (entry < 0) {
            ++plan.unmatched;
            continue;
        }
        ++plan.matched;
        const auto [total, first] = file_shares.emplace(entry, 0);
        total->second += row.shares;
        if (first) plan.prices.push_back({entry, row.price, row.price_date});
    }
    for (PricedRow& p : plan.rows) {
        if (p.entry < 0) continue;
        p.file_shares = file_shares[p.entry];
        const Stock& stock = portfolio.stocks[size_t(p.entry)];
        p.held_shares = stock.held_shares;
        p.shares_differ = p.file_shares != p.held_shares;
        p.old_price = stock.price;
    }
    return plan;
}

ImportFileKind classify_import_file(std::string_view bytes) {
    try {
        if (has_trade_history_header(bytes)) return ImportFileKind::trade_history;
        if (has_holdings_header(bytes)) return ImportFileKind::holdings;
    } catch (const ImportError&) {
    }
    return ImportFileKind::neither;
}

}  // namespace chomaru
