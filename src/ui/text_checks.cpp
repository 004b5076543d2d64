#include "ui/text_checks.h"

#include "ui/platform.h"
#include "store/cp932.h"
#include "store/data_file.h"

namespace chomaru {

namespace {

bool refuse(Platform& platform, const QString& why) {
    platform.message_box(why, QMessageBox::Critical, QMessageBox::Ok, program_caption);
    return false;
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

}  // namespace

bool accept_line_text(Platform& platform, const QString& text) {
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return refuse(platform, QStringLiteral("改行は使えません"));
    if (!cp932_can_hold(text.toStdString()))
        return refuse(platform, QStringLiteral("使えない文字が含まれています：") + unheld_characters(text));
    return true;
}

bool accept_date_text(Platform& platform, const QString& text) {
    if (!accept_line_text(platform, text)) return false;
    if (text.contains(QLatin1Char(' '))) return refuse(platform, QStringLiteral("日付に空白は使えません"));
    if (size_t(text.toStdU32String().size()) > max_date_length)
        return refuse(platform, QStringLiteral("日付が長すぎます（%1文字まで）").arg(max_date_length));
    return true;
}

}  // namespace chomaru
