#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    struct Slot {
        bool used = false;
        uint64_t word = 0;  // short_text_word of a code of at most eight bytes
        std::string code;
        Entries entries;

        bool holds(std::string_view text, uint64_t text_word) const {
            return code.size() == text.size() && (text.size() <= 8 ? word == text_word : code == text);
        }
    };

    // The slot of `code`, or the free one where it would go.
    size_t slot_of(std::string_view code) const;
    void grow();

    // Open addressing over a power of two of slots, at most half of them
    // used: a lookup is a multiplication and a comparison or two, where a
    // node-based map divides by a prime.
    std::vector<Slot> slots_;
    int shift_ = 0;
    size_t used_ = 0;
};

}  // namespace chomaru
