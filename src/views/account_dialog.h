#pragma once

#include <QDialog>

#include "store/account_type.h"

class QListWidget;
class QPushButton;

namespace chomaru {

// The list of the account types, the stock's own selected; OK, a
// double-click or Return takes the selected one.
class AccountDialog : public QDialog {
    Q_OBJECT
public:
    AccountDialog(AccountType current, QWidget* parent = nullptr);

    AccountType chosen() const;

    QListWidget* account_list;
    QPushButton* k_ok;
    QPushButton* k_cancel;
};

}  // namespace chomaru
