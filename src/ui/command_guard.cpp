#include "ui/command_guard.h"

#include <stdexcept>

#include "ui/platform.h"

namespace chomaru {

void run_guarded(Platform& platform, const std::function<void()>& command, const QString& message) {
    try {
        command();
    } catch (const std::exception&) {
        platform.message_box(message, QMessageBox::Critical, QMessageBox::Ok, program_caption);
    }
}

}  // namespace chomaru
