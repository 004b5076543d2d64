#include "views/stock_commands.h"

#include "accounting/position.h"
#include "store/regional_text.h"
#include "ui/command_guard.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/text_checks.h"

namespace chomaru {

namespace {

void change_dividend(Session& session) {
    const QString answer =
        session.platform.input_box(QStringLiteral("配当を記入して下さい"), QStringLiteral("例:5"), QString());
    if (answer.isEmpty()) return;
    Stock& stock = session.stock();
    stock.dividend = text_to_int32(number_text(answer));
    update_dividend_yield(stock);
    session.changed(View::stock_info | View::analysis);
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
    Portfolio& portfolio = session.portfolio;
    if (portfolio.stock_count() >= max_stocks) {
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
    if (!name) return;

    portfolio.last_stock += 1;
    portfolio.current_stock = portfolio.last_stock;
    z_data_init(portfolio);
    session.stock().stock_code = core_text(*code);
    session.stock().stock_name = *name;
    session.changed(all_views);
}

void combo1_click(Session& session, int index) {
    if (index < 0 || index > session.portfolio.last_stock) return;
    session.portfolio.current_stock = index;
    session.changed(all_views & ~Views(View::selector));
}

void change_code_click(Session& session) {
    const std::optional<std::string> code =
        ask_line_text(session.platform, QStringLiteral("銘柄コードを記入して下さい"), QStringLiteral("例:1234"));
    if (!code) return;
    session.stock().stock_code = *code;
    session.changed(View::stock_info);
}

void change_name_click(Session& session) {
    const std::optional<std::string> name =
        ask_line_text(session.platform, QStringLiteral("銘柄を記入して下さい"), QStringLiteral("例:新日鉄"));
    if (!name) return;
    session.stock().stock_name = *name;
    session.changed(View::stock_info | View::selector);
}

void change_haitou_click(Session& session) {
    run_guarded(session.platform, [&session] { change_dividend(session); });
}

void infor_fig_dbl_click(Session& session, int row, int col) {
    if (col != 1) return;
    switch (row) {
    case 0:
        change_code_click(session);
        break;
    case 1:
        change_name_click(session);
        break;
    case 2:
        change_haitou_click(session);
        break;
    default:
        break;
    }
}

}  // namespace chomaru
