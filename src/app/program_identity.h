#pragma once

class QGuiApplication;

namespace chomaru {

// The program's icon on every window, and the name of its desktop entry,
// by which docks match the windows to the menu entry.
void set_program_identity(QGuiApplication& app);

}  // namespace chomaru
