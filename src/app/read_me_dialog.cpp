#include "app/read_me_dialog.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/twips.h"
#include "ui/widgets.h"

namespace chomaru {

const QString ReadMeDialog::welcome_text = QStringLiteral(
    "帳丸をインストールして頂き、有難うございます。\n\n"
    "帳丸は、平均買い単価に着目した株投資の分析ソフトです。\n"
    "同一銘柄を、複数回で買い売りをしたときに、株数、平均買い単価、利益を計算します。\n\n"
    "「OK」ボタンをクリックするか Enter "
    "キーを押して頂きますと、銘柄コード、銘柄名（例:日本製鉄）を聞いてきますので、記入して下さい。\n"
    "帳丸の通常画面になります。\n"
    "『買い』ボタンをクリックするか Alt+K キーを押して買い情報を記入しますと、平均買い単価などを計算します。\n\n"
    "詳しくは、ヘルプをご覧下さい。");

ReadMeDialog::ReadMeDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_read_me"));
    setWindowTitle(QStringLiteral("はじめまして"));
    setFixedSize(twips(this, 5625), twips(this, 3195));
    Text1 = new QPlainTextEdit(welcome_text, this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    // Thirteen lines of text in a box 2535 twips high: the gothic font at
    // 8.5 points keeps the last sentence in view without scrolling.
    QFont font = Text1->font();
    font.setPointSizeF(8.5);
    Text1->setFont(font);
    place(Text1, 120, 120, 5415, 2535);
    Command1 = accept_button(this, QStringLiteral("Command1"), QStringLiteral("OK"), 2040, 2760, 1575, 375);
}

}  // namespace chomaru
