#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "store/currency.h"

namespace chomaru {

class Platform;

enum class TradeStep { price, shares, amount };

// The texts of a trade's three prompts: a caption for each step and its
// message, which may show the price and the share count answered so far.
struct TradePrompts {
    std::array<QString, 3> captions;
    std::function<QString(TradeStep step, std::optional<int32_t> price, std::optional<int32_t> shares)> message;
};

struct PriceAndShares {
    // The unit price a record keeps, in whole yen, and the price as typed.
    int32_t price = 0;
    Currency exact_price;
    int32_t shares = 0;

    // The exact price times the shares, which the proposed amounts use.
    // Raises OverflowError beyond 32 bits of whole yen.
    Currency trade_value() const;
};

// The unit price (offered as 10000) and the share count (offered as 100);
// nothing when either prompt is left empty. Text that is not a number raises.
std::optional<PriceAndShares> ask_price_and_shares(Platform& platform, const TradePrompts& prompts);

// The amount paid or received, offered as the proposal; nothing when left
// empty. Text that is not an amount raises.
std::optional<Currency> ask_amount(Platform& platform, const TradePrompts& prompts, const PriceAndShares& answers,
                                   Currency proposal);

}  // namespace chomaru
