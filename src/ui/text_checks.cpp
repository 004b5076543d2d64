#include "ui/text_checks.h"

#include "store/cp932.h"
#include "store/data_file.h"
#include "store/typed_text.h"
#include "ui/platform.h"

namespace chomaru {

namespace {

std::nullopt_t refuse(Platform& platform, const QString& why) {
    platform.message_box(why, QMessageBox::Critical, QMessageBox::Ok, program_caption);
    return std::nullopt;
}

QString from_core(const std::string& text) { return QString::fromStdString(text); }

std::optional<QString> held_line(Platform& platform, const QString& text) {
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return refuse(platform, QStringLiteral("改行は使えません"));
    if (!cp932_can_hold(text.toStdString()))
        return refuse(platform,
                      QStringLiteral("使えない文字が含まれています：") + from_core(unheld_characters(core_text(text))));
    return text;
}

}  // namespace

std::optional<QString> accept_line_text(Platform& platform, const QString& text) {
    return held_line(platform, from_core(held_line_text(core_text(text))));
}

std::optional<QString> accept_date_text(Platform& platform, const QString& text) {
    const std::optional<QString> held = held_line(platform, from_core(held_forms(core_text(text))));
    if (!held) return held;
    if (held->contains(QLatin1Char(' '))) return refuse(platform, QStringLiteral("日付に空白は使えません"));
    if (size_t(held->toStdU32String().size()) > max_date_length)
        return refuse(platform, QStringLiteral("日付が長すぎます（%1文字まで）").arg(max_date_length));
    return held;
}

std::string number_text(const QString& typed) { return half_width_number_text(core_text(typed)); }

}  // namespace chomaru
