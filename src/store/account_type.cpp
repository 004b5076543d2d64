#include "store/account_type.h"

namespace chomaru {

std::string_view account_name(AccountType type) {
    switch (type) {
    case AccountType::tokutei:
        return "特定";
    case AccountType::ippan:
        return "一般";
    case AccountType::nisa_growth:
        return "NISA成長";
    case AccountType::nisa_tsumitate:
        return "NISAつみたて";
    case AccountType::old_nisa:
        return "旧NISA";
    }
    return "特定";
}

std::optional<AccountType> account_from_name(std::string_view name) {
    for (const AccountType type : all_account_types)
        if (account_name(type) == name) return type;
    return std::nullopt;
}

}  // namespace chomaru
