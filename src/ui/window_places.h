#pragma once

class QTabWidget;
class QWidget;

namespace chomaru {

class Platform;

// The windows' sizes and places, kept between runs with the platform's
// settings in the user's configuration folder, never in the data file.

// Gives the main window the size, the place and the state (maximised) it had
// when it was last closed, within the screens there are now, and puts the
// tab in front that was in front.
void restore_main_window(QWidget& window, QTabWidget& tabs, Platform& platform);
void keep_main_window(const QWidget& window, const QTabWidget& tabs, Platform& platform);

// Places a window over its parent window before it first shows: at the size
// and the place beside its parent it had when it was last closed, or at its
// own size centred over its parent; always whole on the parent's screen.
// When it is hidden or closed, its size and place are kept under `name`.
void open_over_parent(QWidget& window, Platform& platform, const char* name);

// Escape closes the window, as it closes a dialog.
void close_on_escape(QWidget& window);

}  // namespace chomaru
