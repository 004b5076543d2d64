#include "trades/trade_prompts.h"

#include "accounting/commission.h"
#include "store/regional_text.h"
#include "ui/platform.h"
#include "ui/text_checks.h"

namespace chomaru {

namespace {

QString ask(Platform& platform, const TradePrompts& prompts, TradeStep step, std::optional<int32_t> price,
            std::optional<int32_t> shares, const QString& default_text) {
    return platform.input_box(prompts.captions[size_t(step)], prompts.message(step, price, shares), default_text);
}

}  // namespace

Currency PriceAndShares::trade_value() const { return chomaru::trade_value(exact_price, shares); }

std::optional<PriceAndShares> ask_price_and_shares(Platform& platform, const TradePrompts& prompts) {
    const QString price_text =
        ask(platform, prompts, TradeStep::price, std::nullopt, std::nullopt, QStringLiteral("10000"));
    if (price_text.isEmpty()) return std::nullopt;
    PriceAndShares a;
    // The price is kept in whole yen, rounded as typed; the amounts are
    // worked out from the exact price.
    a.price = text_to_int32(number_text(price_text));
    a.exact_price = text_to_currency(number_text(price_text));
    const QString shares_text = ask(platform, prompts, TradeStep::shares, a.price, std::nullopt, QStringLiteral("100"));
    if (shares_text.isEmpty()) return std::nullopt;
    a.shares = text_to_int32(number_text(shares_text));
    return a;
}

std::optional<Currency> ask_amount(Platform& platform, const TradePrompts& prompts, const PriceAndShares& answers,
                                   Currency proposal) {
    const QString text =
        ask(platform, prompts, TradeStep::amount, answers.price, answers.shares, qt_text(currency_text(proposal)));
    if (text.isEmpty()) return std::nullopt;
    return text_to_currency(number_text(text));
}

}  // namespace chomaru
