#pragma once

#include <string>
#include <utility>

#include "document/document.h"
#include "document/views.h"
#include "store/portfolio.h"

class QWidget;

namespace chomaru {

class Platform;

// What every command works on: the document and its data, the desktop, the
// date picked last during this run and the views the command changed. The
// data is read here and changed only through the document's operations;
// the document tells the session which views each change left out of date,
// so that a command stopped by an error still has its stored part shown.
class Session {
public:
    // Dialogs a command opens are centred on `dialog_parent`.
    Session(Document& data, Platform& desktop, QWidget* parent = nullptr)
        : document(data), portfolio(data.portfolio()), platform(desktop), dialog_parent(parent) {
        document.set_observer([this](Views views) { changed(views); });
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { document.set_observer(nullptr); }

    Document& document;
    const Portfolio& portfolio;
    Platform& platform;
    QWidget* const dialog_parent;
    std::string picked_date;

    const Stock& stock() const { return portfolio.current(); }

    void changed(Views views) { changed_ |= views; }
    // The views changed since the last call, for the window to redraw.
    Views take_changes() { return std::exchange(changed_, Views()); }

private:
    Views changed_;
};

}  // namespace chomaru
