#include "ui/platform.h"

#include "store/cp932.h"

namespace chomaru {

Date Platform::today() {
    const QDate d = now().date();
    return Date{d.year(), d.month(), d.day()};
}

std::filesystem::path executable_folder(const std::filesystem::path& link) {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink(link, error);
    if (error || !executable.is_absolute()) return {};
    return executable.parent_path();
}

QString qt_path(const std::filesystem::path& path) {
    const std::string& bytes = path.native();
    const QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() == QByteArray::fromStdString(bytes)) return text;
    // Folders unpacked from archives made on Windows carry Shift_JIS names.
    try {
        return QString::fromStdString(cp932_to_utf8(bytes));
    } catch (const EncodingError&) {
        return text;
    }
}

QUrl file_url(const std::filesystem::path& file) {
    // The URL carries the name's bytes percent-encoded, whatever their encoding.
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(file.native()).toPercentEncoding("/"));
}

}  // namespace chomaru
