#pragma once

class QGuiApplication;

namespace chomaru {

// The name of the program's desktop entry, by which docks match the windows
// to the menu entry, and the program's icon on every window, given just
// after the first window has painted.
void set_program_identity(QGuiApplication& app);

}  // namespace chomaru
