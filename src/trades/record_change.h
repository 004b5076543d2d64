#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "accounting/nisa_allowance.h"
#include "accounting/position.h"
#include "store/portfolio.h"

namespace chomaru {

class Platform;

// After a change of a stock's records stored with its figures as they
// were, because a record's date does not read: tells the user which date to
// correct. Nothing when every date read.
void tell_unreadable(Platform& platform, const std::optional<UnreadableDate>& unreadable);

// After a NISA buy was stored that passes a limit of the allowance
// (nisa_excess): names each limit and by how much it is passed. Nothing
// when none is passed.
void tell_nisa_excess(Platform& platform, const std::vector<NisaExcess>& excess);

// Whether to store `after`, the selected stock changed, when it holds a sale
// that sells more shares than were held on its date and `before` did not:
// asked はい/いいえ, いいえ by default, with the shares held on that date.
// `action` names what is asked for: "記録" or "変更".
bool confirm_oversale(Platform& platform, const Stock& before, const Stock& after, const QString& action);

}  // namespace chomaru
