#pragma once

namespace chomaru {

// The views of the main window a change can leave out of date. The window
// redraws them in this order.
enum class View : unsigned {
    stock_info = 1 << 0,
    analysis = 1 << 1,
    trade_grids = 1 << 2,  // both record grids emptied back to their laid-out rows
    buy_records = 1 << 3,
    sell_records = 1 << 4,
    ratio_table = 1 << 5,
    selector = 1 << 6,
    new_buy_record = 1 << 7,   // the last buy record brought into view, its tab in front
    new_sell_record = 1 << 8,  // the last sell record brought into view, its tab in front
    splits = 1 << 9,           // the selected stock's splits and consolidations
    payments = 1 << 10,        // the dividends received
    new_payment = 1 << 11,     // the dividends' tab in front
};

// A set of views.
class Views {
public:
    constexpr Views() = default;
    constexpr Views(View view) : bits_(unsigned(view)) {}

    constexpr Views operator|(Views other) const { return from_bits(bits_ | other.bits_); }
    constexpr Views operator&(Views other) const { return from_bits(bits_ & other.bits_); }
    constexpr Views operator~() const { return from_bits(~bits_); }
    constexpr Views& operator|=(Views other) { return *this = *this | other; }
    constexpr bool operator==(const Views&) const = default;
    constexpr explicit operator bool() const { return bits_ != 0; }
    constexpr bool has(View view) const { return (bits_ & unsigned(view)) != 0; }

private:
    static constexpr Views from_bits(unsigned bits) {
        Views views;
        views.bits_ = bits;
        return views;
    }
    unsigned bits_ = 0;
};

constexpr Views operator|(View a, View b) { return Views(a) | b; }

// Every view, as after the selected stock changed.
inline constexpr Views all_views = View::stock_info | View::analysis | View::trade_grids | View::buy_records |
                                   View::sell_records | View::ratio_table | View::selector | View::splits |
                                   View::payments;

}  // namespace chomaru
