#pragma once

#include <QFlags>
#include <string>
#include <utility>

#include "store/portfolio.h"

class QWidget;

namespace chomaru {

class Platform;

// The views of the main window a command can leave out of date. The window
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
};
Q_DECLARE_FLAGS(Views, View)
Q_DECLARE_OPERATORS_FOR_FLAGS(Views)

// Every view, as after the selected stock changed.
inline constexpr Views all_views = Views(View::stock_info) | View::analysis | View::trade_grids | View::buy_records |
                                   View::sell_records | View::ratio_table | View::selector;

// What every command works on: the data, the desktop, the date picked last
// during this run and the views the command changed. A command marks a view
// as soon as it changes what the view shows, so that a command stopped by
// an error still has its stored part shown.
class Session {
public:
    // Dialogs a command opens are centred on `dialog_parent`.
    Session(Portfolio& data, Platform& desktop, QWidget* parent = nullptr)
        : portfolio(data), platform(desktop), dialog_parent(parent) {}

    Portfolio& portfolio;
    Platform& platform;
    QWidget* const dialog_parent;
    std::string picked_date;

    Stock& stock() { return portfolio.current(); }

    void changed(Views views) { changed_ |= views; }
    // The views changed since the last call, for the window to redraw.
    Views take_changes() { return std::exchange(changed_, Views()); }

private:
    Views changed_;
};

}  // namespace chomaru
