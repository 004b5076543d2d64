#include "ui/command_guard.h"

#include <QtGlobal>
#include <stdexcept>

#include "store/numbers.h"
#include "ui/platform.h"

namespace chomaru {

void run_guarded(Platform& platform, const std::function<void()>& command, const QString& message) {
    const auto stop = [&platform](const QString& why) {
        platform.message_box(why, QMessageBox::Critical, QMessageBox::Ok, program_caption);
    };
    try {
        command();
    } catch (const ConversionError&) {
        stop(message);
    } catch (const OverflowError&) {
        stop(message);
    } catch (const std::exception& e) {
        qWarning("chomaru: a command failed: %s", e.what());
        stop(program_fault_message);
    }
}

}  // namespace chomaru
