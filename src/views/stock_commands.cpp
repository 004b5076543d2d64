#include "views/stock_commands.h"

#include "store/regional_text.h"
#include "ui/command_guard.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/text_checks.h"

namespace chomaru {

namespace {

void change_dividend(Session& session, Operation named) {
    const QString answer =
        session.platform.input_box(QStringLiteral("配当を記入して下さい"), QStringLiteral("例:5"), QString());
    if (answer.isEmpty()) return;
    session.document.set_dividend(text_to_int32(number_text(answer)), named);
}

// Asks for a code or a name; nothing when the answer is empty or refused.
std::optional<std::string> ask_line_text(Platform& platform, const QString& prompt, const QString& example) {
    const QString answer = platform.input_box(prompt, example, QString());
    if (answer.isEmpty()) return std::nullopt;
    const std::optional<QString> text = accept_line_text(platform, answer);
    if (!text) return std::nullopt;
    return core_text(*text);
}

}  // namespace

void new_name_key_click(Session& session) {
    Platform& platform = session.platform;
    if (session.portfolio.stock_count() >= max_stocks) {
        platform.message_box(QStringLiteral("銘柄は%1までしか登録できません").arg(max_stocks), QMessageBox::Critical,
                             QMessageBox::Ok, program_caption);
        return;
    }
    const std::optional<QString> code = accept_line_text(
        platform,
        platform.input_box(QStringLiteral("銘柄のコードを入れて下さい"), QStringLiteral("例:1234"), QString()));
    if (!code) return;
    const std::optional<std::string> name =
        ask_line_text(platform, QStringLiteral("銘柄を入れて下さい"), QStringLiteral("例:新日鉄"));
    if (name) session.document.add_stock(core_text(*code), *name);
}

void combo1_click(Session& session, int index) { session.document.select(index); }

namespace {

void change_code(Session& session, Operation named) {
    const std::optional<std::string> code =
        ask_line_text(session.platform, QStringLiteral("銘柄コードを記入して下さい"), QStringLiteral("例:1234"));
    if (code) session.document.set_code(*code, named);
}

void change_name(Session& session, Operation named) {
    const std::optional<std::string> name =
        ask_line_text(session.platform, QStringLiteral("銘柄を記入して下さい"), QStringLiteral("例:新日鉄"));
    if (name) session.document.set_name(*name, named);
}

void change_haitou(Session& session, Operation named) {
    run_guarded(session.platform, [&session, named] { change_dividend(session, named); });
}

}  // namespace

void change_code_click(Session& session) { change_code(session, Operation::code_change); }
void change_name_click(Session& session) { change_name(session, Operation::name_change); }
void change_haitou_click(Session& session) { change_haitou(session, Operation::dividend_change); }

// A double-click on the information grid changes what its row shows; the
// undo step is named after the grid.
void infor_fig_dbl_click(Session& session, int row, int col) {
    if (col != 1) return;
    switch (row) {
    case 0:
        change_code(session, Operation::stock_info_change);
        break;
    case 1:
        change_name(session, Operation::stock_info_change);
        break;
    case 2:
        change_haitou(session, Operation::stock_info_change);
        break;
    default:
        break;
    }
}

}  // namespace chomaru
