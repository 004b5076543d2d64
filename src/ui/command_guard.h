#pragma once

#include <functional>

#include <QString>

namespace chomaru {

class Platform;

// Runs a command that converts typed numbers. Any conversion, overflow or
// range error ends it with one critical message (OK only, caption "帳丸");
// whatever the command stored before the error stays stored.
void run_guarded(Platform& platform, const std::function<void()>& command,
                 const QString& message = QStringLiteral("半角数字でお願いします"));

}  // namespace chomaru
