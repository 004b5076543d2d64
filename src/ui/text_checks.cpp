#include "ui/text_checks.h"

#include "store/cp932.h"
#include "store/numbers.h"
#include "ui/platform.h"

namespace chomaru {

namespace {

constexpr char16_t yen_sign = u'\u00A5';
constexpr char16_t fullwidth_yen_sign = u'\uFFE5';

std::nullopt_t refuse(Platform& platform, const QString& why) {
    platform.message_box(why, QMessageBox::Critical, QMessageBox::Ok, program_caption);
    return std::nullopt;
}

// The character code page 932 holds for one an input method types.
QChar held_form(QChar ch) {
    switch (ch.unicode()) {
    case u'\u301C':  // wave dash
        return QChar(u'\uFF5E');
    case u'\u2016':  // double vertical line
        return QChar(u'\u2225');
    case u'\u2212':  // minus sign
        return QChar(u'\uFF0D');
    case u'\u00A2':  // cent sign
        return QChar(u'\uFFE0');
    case u'\u00A3':  // pound sign
        return QChar(u'\uFFE1');
    case u'\u00AC':  // not sign
        return QChar(u'\uFFE2');
    case u'\u2014':  // em dash
        return QChar(u'\u2015');
    default:
        return ch;
    }
}

QString held_forms(QString text) {
    for (QChar& ch : text) ch = held_form(ch);
    return text;
}

// The characters of `text` that code page 932 cannot hold, for the message.
QString unheld_characters(const QString& text) {
    QString found;
    for (int i = 0; i < text.size(); ++i) {
        const int width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, width);
        if (!cp932_can_hold(ch.toStdString()) && !found.contains(ch)) found += ch;
        i += width - 1;
    }
    return found;
}

std::optional<QString> held_line(Platform& platform, const QString& text) {
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return refuse(platform, QStringLiteral("改行は使えません"));
    if (!cp932_can_hold(text.toStdString()))
        return refuse(platform, QStringLiteral("使えない文字が含まれています：") + unheld_characters(text));
    return text;
}

}  // namespace

std::optional<QString> accept_line_text(Platform& platform, const QString& text) {
    QString held = held_forms(text);
    held.replace(QChar(yen_sign), QChar(fullwidth_yen_sign));
    return held_line(platform, held);
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

std::string number_text(const QString& typed) {
    QString text = typed;
    for (QChar& ch : text) {
        const char16_t c = ch.unicode();
        if (c >= u'\uFF10' && c <= u'\uFF19') {
            ch = QChar(u'0' + (c - u'\uFF10'));
        } else if (c == u'\uFF0D') {
            ch = QLatin1Char('-');
        } else if (c == u'\uFF0C') {
            ch = QLatin1Char(',');
        } else if (c == u'\uFF0E') {
            ch = QLatin1Char('.');
        } else if (c == fullwidth_yen_sign) {
            ch = QChar(yen_sign);
        } else if (c == u'\u3000') {
            ch = QLatin1Char(' ');
        }
    }
    return core_text(text);
}

}  // namespace chomaru
