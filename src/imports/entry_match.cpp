#include "imports/entry_match.h"

#include <bit>
#include <utility>

#include "imports/csv_text.h"

namespace chomaru {

EntryMatch::EntryMatch(const Portfolio& portfolio) {
    // Room for every entry a portfolio can hold without growing.
    slots_.resize(size_t(4) * max_stocks);
    shift_ = 64 - std::countr_zero(slots_.size());
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) {
        const Stock& s = portfolio.stocks[size_t(i)];
        add(s.stock_code, s.account, i);
    }
}

size_t EntryMatch::slot_of(std::string_view code) const {
    const size_t mask = slots_.size() - 1;
    const uint64_t word = short_text_word(code.substr(0, 8));
    for (size_t i = size_t((uint64_t(TextHash()(code)) * 0x9E3779B97F4A7C15) >> shift_);; i = (i + 1) & mask)
        if (!slots_[i].used || slots_[i].holds(code, word)) return i;
}

int32_t EntryMatch::find(std::string_view code, AccountType account) const {
    const Slot& slot = slots_[slot_of(trim_blanks(code))];
    return slot.used ? slot.entries[size_t(account)] : -1;
}

void EntryMatch::add(std::string_view code, AccountType account, int32_t entry) {
    code = trim_blanks(code);
    size_t at = slot_of(code);
    if (!slots_[at].used) {
        if (2 * (used_ + 1) > slots_.size()) {
            grow();
            at = slot_of(code);
        }
        Slot& slot = slots_[at];
        slot.used = true;
        slot.code = std::string(code);
        slot.word = short_text_word(code.substr(0, 8));
        slot.entries.fill(-1);
        ++used_;
    }
    int32_t& slot = slots_[at].entries[size_t(account)];
    if (slot < 0) slot = entry;
}

void EntryMatch::grow() {
    std::vector<Slot> old(2 * slots_.size());
    old.swap(slots_);
    --shift_;
    for (Slot& slot : old)
        if (slot.used) slots_[slot_of(slot.code)] = std::move(slot);
}

}  // namespace chomaru
