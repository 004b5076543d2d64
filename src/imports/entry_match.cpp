#include "imports/entry_match.h"

#include "imports/csv_text.h"

namespace chomaru {

EntryMatch::EntryMatch(const Portfolio& portfolio) {
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) {
        const Stock& s = portfolio.stocks[size_t(i)];
        add(s.stock_code, s.account, i);
    }
}

int32_t EntryMatch::find(std::string_view code, AccountType account) const {
    const auto found = codes_.find(trim_blanks(code));
    return found == codes_.end() ? -1 : found->second[size_t(account)];
}

void EntryMatch::add(std::string_view code, AccountType account, int32_t entry) {
    auto found = codes_.find(trim_blanks(code));
    if (found == codes_.end()) {
        Entries none;
        none.fill(-1);
        found = codes_.emplace(std::string(trim_blanks(code)), none).first;
    }
    int32_t& slot = found->second[size_t(account)];
    if (slot < 0) slot = entry;
}

}  // namespace chomaru
