#pragma once

#include <QString>
#include <functional>

#include "store/portfolio.h"

namespace chomaru {

class Platform;
class Session;

// Stores a change of the selected stock's records with its figures
// recomputed in date order. The change is made on a copy, which takes the
// stock's place only once its figures have been worked out, so an error
// (OverflowError) leaves the stock as it was. When a record's date does not
// read, the change is stored with the figures as they were and the user is
// told which date to correct.
void change_records(Session& session, const std::function<void(Stock&)>& change);

// Whether to store `after`, the selected stock changed, when it holds a sale
// that sells more shares than were held on its date and `before` did not:
// asked はい/いいえ, いいえ by default, with the shares held on that date.
// `action` names what is asked for: "記録" or "変更".
bool confirm_oversale(Platform& platform, const Stock& before, const Stock& after, const QString& action);

}  // namespace chomaru
