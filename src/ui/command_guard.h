#pragma once

#include <functional>

#include <QString>

namespace chomaru {

class Platform;

// The message shown whenever typed text does not convert to a number.
inline const QString half_width_digits_message = QStringLiteral("半角数字でお願いします");

// Shown when a command meets a fault of the program rather than of the text typed.
inline const QString program_fault_message =
    QStringLiteral("プログラムの誤りのため、この操作を中止しました。\r\nデータはそのまま残っています。");

// Runs a command that converts typed numbers. A conversion or overflow error
// ends it with `message` (critical, OK only, caption "帳丸"); any other
// exception is a fault of the program and ends it with
// program_fault_message instead. Either way whatever the command stored
// before the error stays stored.
void run_guarded(Platform& platform, const std::function<void()>& command,
                 const QString& message = half_width_digits_message);

}  // namespace chomaru
