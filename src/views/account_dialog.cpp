#include "views/account_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "ui/platform.h"

namespace chomaru {

AccountDialog::AccountDialog(AccountType current, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_account"));
    setWindowTitle(QStringLiteral("口座区分"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("この銘柄を保有している口座を選んで下さい"), this));
    account_list = new QListWidget(this);
    account_list->setObjectName(QStringLiteral("account_list"));
    for (const AccountType type : all_account_types) account_list->addItem(qt_text(std::string(account_name(type))));
    account_list->setCurrentRow(
        int(std::distance(std::begin(all_account_types),
                          std::find(std::begin(all_account_types), std::end(all_account_types), current))));
    // Every name in view, without scrolling.
    account_list->setFixedHeight(account_list->sizeHintForRow(0) * int(std::size(all_account_types)) +
                                 2 * account_list->frameWidth());
    layout->addWidget(account_list);
    auto* buttons = new QDialogButtonBox(this);
    k_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    k_ok->setObjectName(QStringLiteral("k_ok"));
    k_ok->setDefault(true);
    k_cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    k_cancel->setObjectName(QStringLiteral("k_cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(account_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

AccountType AccountDialog::chosen() const {
    const int row = account_list->currentRow();
    return row >= 0 && row < int(std::size(all_account_types)) ? all_account_types[row] : AccountType::tokutei;
}

}  // namespace chomaru
