#pragma once

#include <optional>
#include <string_view>

namespace chomaru {

// The kind of account a stock entry is held in. The same code held in two
// accounts is two entries, whose averages and profits stay apart, as the
// broker keeps them.
enum class AccountType { tokutei, ippan, nisa_growth, nisa_tsumitate, old_nisa };

inline constexpr AccountType all_account_types[] = {AccountType::tokutei, AccountType::ippan, AccountType::nisa_growth,
                                                    AccountType::nisa_tsumitate, AccountType::old_nisa};

// The name shown and stored: "特定", "一般", "NISA成長", "NISAつみたて", "旧NISA".
std::string_view account_name(AccountType type);
// The type a stored name stands for; nothing for any other text.
std::optional<AccountType> account_from_name(std::string_view name);

// Gains inside a NISA account are tax-free and kept apart from the others.
inline bool is_nisa(AccountType type) {
    return type == AccountType::nisa_growth || type == AccountType::nisa_tsumitate || type == AccountType::old_nisa;
}

}  // namespace chomaru
