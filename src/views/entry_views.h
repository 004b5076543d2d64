#pragma once

#include "store/date_text.h"
#include "store/portfolio.h"

namespace chomaru {

class FlexGrid;

// The rows under the break-even price: the stock's quoted price and its
// date, what the shares held are worth at it (評価額) and the gain over
// their cost (評価損益) as an amount and a percentage.
void setup_value_grid(FlexGrid* grid);
// "—" without a price, and for the worth and gain while no shares are
// held. Figures below zero are red; a price set more than a week before
// `today` is grey, with its date.
void show_valuation(FlexGrid* grid, const Stock& stock, const Date& today);

// The splits and consolidations of a stock, one line each, numbered as the
// deletion asks for them: the date and "分割 1:2" or "併合 5:1".
void setup_split_grid(FlexGrid* grid);
void show_splits(FlexGrid* grid, const Stock& stock);

}  // namespace chomaru
