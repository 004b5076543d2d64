#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "imports/csv_text.h"
#include "store/account_type.h"
#include "store/portfolio.h"

namespace chomaru {

// The stock entries of a portfolio by code and account: a row of a broker's
// file belongs to the entry of the same code, blanks at either end ignored on
// both sides, and the same account; of several such entries, the first.
class EntryMatch {
public:
    explicit EntryMatch(const Portfolio& portfolio);

    // The entry's index, or -1.
    int32_t find(std::string_view code, AccountType account) const;
    // Adds an entry (one to be made) unless the code and account have one.
    void add(std::string_view code, AccountType account, int32_t entry);

private:
    using Entries = std::array<int32_t, std::size(all_account_types)>;
    std::unordered_map<std::string, Entries, TextHash, std::equal_to<>> codes_;
};

}  // namespace chomaru
