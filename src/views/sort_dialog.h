#pragma once

#include <QDialog>

#include "store/stock_order.h"

class QListWidget;
class QPushButton;

namespace chomaru {

class Session;

// The reorder dialog: the stocks in their present order on the left; each
// press of the arrow moves the selected one to the next place on the right.
// When every stock has been placed the user confirms and the whole data set
// is permuted at once.
class SortDialog : public QDialog {
    Q_OBJECT
public:
    explicit SortDialog(Session& session);

    // Shows the work lists: moved stocks leave blank rows on the left, the
    // first stock still to place is selected.
    void show_sort_lists();

    QListWidget* base_list;
    QPushButton* k_sort;
    QPushButton* k_clear;
    QListWidget* sort_list;

    SortWork work;

private:
    void k_sort_click();
    void k_clear_click();

    Session& session_;
};

// Reordering the stocks.
void m_sort_click(Session& session);

}  // namespace chomaru
