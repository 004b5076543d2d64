#include "ui/text_checks.h"

#include "store/cp932.h"
#include "store/numbers.h"
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

std::optional<Date> accept_trade_date(Platform& platform, const QString& text) {
    QString typed = text;
    typed.replace(QChar(u'\uFF0F'), QLatin1Char('/'));  // full-width solidus
    typed.replace(QChar(u'\u2212'), QLatin1Char('-'));  // minus sign
    Date date;
    try {
        date = typed_date(number_text(typed));
    } catch (const ConversionError&) {
        return refuse(platform, QStringLiteral("日付として読めません。\r\n"
                                               "2026/01/05、2026/1/5、2026-01-05、20260105 のように入力して下さい"));
    }
    const Date last = latest_trade_date(platform.today());
    if (date < earliest_trade_date || date > last)
        return refuse(platform,
                      QStringLiteral("日付は %1 から %2 までで入力して下さい")
                          .arg(qt_text(short_date_text(earliest_trade_date)), qt_text(short_date_text(last))));
    return date;
}

std::string number_text(const QString& typed) { return half_width_number_text(core_text(typed)); }

}  // namespace chomaru
