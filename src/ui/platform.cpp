#include "ui/platform.h"

#include <algorithm>
#include <string_view>

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

namespace {

// The value of a "XDG_<NAME>_DIR=..." line: "$HOME/..." or an absolute path,
// in double quotes or not; empty for any other value.
std::string user_dir_value(std::string_view value, const std::filesystem::path& home) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.starts_with("$HOME")) return home.native() + std::string(value.substr(5));
    return value.starts_with('/') ? std::string(value) : std::string();
}

}  // namespace

std::filesystem::path xdg_documents_folder(const char* config_home, const std::filesystem::path& home) {
    const std::filesystem::path config =
        config_home && config_home[0] == '/' ? std::filesystem::path(config_home) : home / ".config";
    std::filesystem::path folder = home / "Documents";
    std::optional<std::string> dirs;
    try {
        dirs = read_whole_file(config / "user-dirs.dirs");
    } catch (const std::runtime_error&) {
    }
    // The file is sourced by the shell: the last line that sets the folder counts.
    static constexpr std::string_view key = "XDG_DOCUMENTS_DIR=";
    for (std::string_view rest = dirs ? *dirs : std::string_view(); !rest.empty();) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!line.starts_with(key)) continue;
        if (const std::string value = user_dir_value(line.substr(key.size()), home); !value.empty()) folder = value;
    }
    return folder.is_absolute() ? folder : std::filesystem::path();
}

QString qt_path(const std::filesystem::path& path) { return QString::fromStdString(path_text(path)); }

QUrl file_url(const std::filesystem::path& file) {
    // The URL carries the name's bytes percent-encoded, whatever their encoding.
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(file.native()).toPercentEncoding("/"));
}

}  // namespace chomaru
