#include "accounting/nisa_allowance.h"

#include <algorithm>
#include <array>
#include <exception>
#include <map>
#include <optional>

#include "accounting/position.h"
#include "store/numbers.h"
#include "store/regional_text.h"

namespace chomaru {

namespace {

enum Kind { growth, tsumitate, old, kinds };

std::optional<Kind> kind_of(AccountType account) {
    switch (account) {
    case AccountType::nisa_growth:
        return growth;
    case AccountType::nisa_tsumitate:
        return tsumitate;
    case AccountType::old_nisa:
        return old;
    default:
        return std::nullopt;
    }
}

// What one year's trades of one kind of account did: the amounts bought and
// the book value their sales took out of the holding.
struct Flows {
    Currency bought;
    Currency freed;
};
using Tally = std::map<int, std::array<Flows, kinds>>;

// Adds the trades of a NISA entry. A sale frees the book value of the
// shares it sold at the average cost; one that leaves no shares frees all
// the book value left. Raises when the records cannot be replayed.
void add_trades(Tally& tally, const Stock& stock, Kind kind) {
    PositionReplay replay(stock);
    if (replay.unreadable()) throw ConversionError("a record's date is not a date");
    Currency book;
    Currency invested;  // the replay's, before the step
    while (replay.next()) {
        const PositionStep& step = replay.step();
        Flows& flows = tally[step.date.year][size_t(kind)];
        if (step.side == TradeSide::buy) {
            flows.bought += step.record->amount;
            book += step.record->amount;
        } else {
            const Currency freed =
                step.held <= 0 ? book : std::max(Currency(), std::min(book, invested - step.invested));
            flows.freed += freed;
            book -= freed;
        }
        invested = step.invested;
    }
}

// The tally of every NISA entry but `skipped`; the entries that cannot be
// replayed go to `left_out`.
Tally tally_of(const Portfolio& portfolio, int32_t skipped, std::vector<int32_t>* left_out) {
    Tally tally;
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) {
        const Stock& stock = portfolio.stocks.at(size_t(i));
        const std::optional<Kind> kind = kind_of(stock.account);
        if (i == skipped || !kind) continue;
        Tally own;
        try {
            add_trades(own, stock, *kind);
        } catch (const std::exception&) {
            if (left_out) left_out->push_back(i);
            continue;
        }
        for (const auto& [year, flows] : own)
            for (size_t k = 0; k < kinds; ++k) {
                tally[year][k].bought += flows[k].bought;
                tally[year][k].freed += flows[k].freed;
            }
    }
    return tally;
}

NisaYear year_of(const Tally& tally, int year) {
    std::array<Currency, kinds> held{};   // book value at the year's end
    std::array<Currency, kinds> freed{};  // freed this year
    NisaYear y;
    y.year = year;
    for (auto it = tally.begin(); it != tally.end() && it->first <= year; ++it)
        for (size_t k = 0; k < kinds; ++k) {
            held[k] += it->second[k].bought - it->second[k].freed;
            if (it->first == year) freed[k] = it->second[k].freed;
        }
    if (const auto found = tally.find(year); found != tally.end()) {
        y.growth = found->second[growth].bought;
        y.tsumitate = found->second[tsumitate].bought;
    }
    y.growth_lifetime = held[growth] + freed[growth];
    y.lifetime = y.growth_lifetime + held[tsumitate] + freed[tsumitate];
    y.old_nisa = held[old];
    return y;
}

Currency used(const NisaYear& y, NisaLimit limit) {
    switch (limit) {
    case NisaLimit::growth_annual:
        return y.growth;
    case NisaLimit::tsumitate_annual:
        return y.tsumitate;
    case NisaLimit::lifetime:
        return y.lifetime;
    case NisaLimit::growth_lifetime:
        return y.growth_lifetime;
    }
    return Currency();
}

Currency limit_amount(NisaLimit limit) {
    switch (limit) {
    case NisaLimit::growth_annual:
        return growth_annual_limit;
    case NisaLimit::tsumitate_annual:
        return tsumitate_annual_limit;
    case NisaLimit::lifetime:
        return lifetime_limit;
    case NisaLimit::growth_lifetime:
        return growth_lifetime_limit;
    }
    return Currency();
}

}  // namespace

NisaAllowance nisa_allowance(const Portfolio& portfolio, int last_year) {
    NisaAllowance allowance;
    const Tally tally = tally_of(portfolio, -1, &allowance.left_out);
    for (int year = nisa_first_year; year <= last_year; ++year) allowance.years.push_back(year_of(tally, year));
    return allowance;
}

NisaRoom nisa_room(const NisaYear& year) {
    const auto room = [](Currency limit, Currency used) { return std::max(Currency(), limit - used); };
    const Currency lifetime = room(lifetime_limit, year.lifetime);
    return {
        std::min({room(growth_annual_limit, year.growth), room(growth_lifetime_limit, year.growth_lifetime), lifetime}),
        std::min(room(tsumitate_annual_limit, year.tsumitate), lifetime)};
}

std::vector<NisaExcess> nisa_excess(const Portfolio& portfolio, int32_t stock, const TradeRecord& buy) {
    const Stock& before = portfolio.stocks.at(size_t(stock));
    const std::optional<Kind> kind = kind_of(before.account);
    if (!kind || *kind == old) return {};
    Tally without;
    Tally with;
    int first_year = 0;
    try {
        first_year = text_to_date(buy.date).year;
        if (first_year < nisa_first_year) return {};
        without = with = tally_of(portfolio, stock, nullptr);
        add_trades(without, before, *kind);
        add_trades(with, with_record_added(before, TradeSide::buy, buy), *kind);
    } catch (const std::exception&) {
        return {};
    }
    const int last_year = std::max(first_year, with.rbegin()->first);
    std::vector<NisaExcess> passed;
    const NisaLimit limits[] = {*kind == growth ? NisaLimit::growth_annual : NisaLimit::tsumitate_annual,
                                NisaLimit::lifetime, NisaLimit::growth_lifetime};
    for (const NisaLimit limit : limits) {
        const bool annual = limit == NisaLimit::growth_annual || limit == NisaLimit::tsumitate_annual;
        for (int year = first_year; year <= (annual ? first_year : last_year); ++year) {
            const Currency now = used(year_of(with, year), limit);
            if (now > limit_amount(limit) && now > used(year_of(without, year), limit)) {
                passed.push_back({limit, year, now - limit_amount(limit)});
                break;
            }
        }
    }
    return passed;
}

std::string nisa_excess_text(const std::vector<NisaExcess>& excess) {
    std::string text;
    for (const NisaExcess& e : excess) {
        if (!text.empty()) text += "\r\n";
        text += std::to_string(e.year) + "年の";
        switch (e.limit) {
        case NisaLimit::growth_annual:
            text += "成長投資枠（年間";
            break;
        case NisaLimit::tsumitate_annual:
            text += "つみたて投資枠（年間";
            break;
        case NisaLimit::lifetime:
            text += "生涯投資枠（";
            break;
        case NisaLimit::growth_lifetime:
            text += "生涯投資枠のうち成長投資枠（";
            break;
        }
        text += format_currency(limit_amount(e.limit)) + "）を" + format_currency(e.excess) + "超えています";
    }
    return text;
}

}  // namespace chomaru
