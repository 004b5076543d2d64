#include "views/sort_dialog.h"

#include <QListWidget>
#include <QPushButton>

#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"

namespace chomaru {

namespace {

const QString sort_caption = QStringLiteral("銘柄の並び替え");

// Every row as tall as a row of text, blank or not, so that the two lists
// stay level row for row.
void fill(QListWidget* list, const std::array<std::string, max_stocks>& items, int count) {
    list->clear();
    const int height = list->fontMetrics().height() + 2;
    for (int i = 0; i < count; ++i) {
        auto* item = new QListWidgetItem(qt_text(items[size_t(i)]), list);
        item->setSizeHint(QSize(0, height));
    }
}

}  // namespace

SortDialog::SortDialog(Session& session) : QDialog(session.dialog_parent), session_(session) {
    setObjectName(QStringLiteral("Form_sort"));
    setWindowTitle(sort_caption);
    setFixedSize(twips(this, 6630), twips(this, 4260));

    base_list = new QListWidget(this);
    base_list->setObjectName(QStringLiteral("base_list"));
    place(base_list, 120, 120, 2655, 4020);
    k_sort = new QPushButton(QStringLiteral("⇒(&T)"), this);
    k_sort->setObjectName(QStringLiteral("k_sort"));
    place(k_sort, 2880, 1560, 855, 375);
    k_clear = new QPushButton(QStringLiteral("取消(&Q)"), this);
    k_clear->setObjectName(QStringLiteral("k_clear"));
    place(k_clear, 2880, 3120, 855, 375);
    sort_list = new QListWidget(this);
    sort_list->setObjectName(QStringLiteral("sort_list"));
    sort_list->setSelectionMode(QAbstractItemView::NoSelection);
    place(sort_list, 3840, 120, 2655, 4020);

    connect(k_sort, &QPushButton::clicked, this, &SortDialog::k_sort_click);
    connect(k_clear, &QPushButton::clicked, this, &SortDialog::k_clear_click);
}

void SortDialog::show_sort_lists() {
    const int previous = base_list->currentRow();
    fill(base_list, work.base_items, work.sort_total);
    fill(sort_list, work.sort_items, work.sort_total);
    const int first = work.first_unplaced();
    base_list->setCurrentRow(first >= 0 ? first : previous);
}

void SortDialog::k_sort_click() {
    if (!work.place(base_list->currentRow())) return;
    show_sort_lists();
    if (!work.all_placed()) return;

    Platform& platform = session_.platform;
    const QMessageBox::StandardButton answer =
        platform.message_box(QStringLiteral("並び替えを実行します"), QMessageBox::NoIcon,
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, sort_caption);
    if (answer == QMessageBox::Yes) {
        platform.message_box(QStringLiteral("並び替えを実行します"), QMessageBox::NoIcon, QMessageBox::Ok,
                             sort_caption);
        session_.document.reorder(work);
        accept();
    } else if (answer == QMessageBox::No) {
        k_clear_click();
    } else {
        platform.message_box(QStringLiteral("並び替えを中止しました"), QMessageBox::Information, QMessageBox::Ok,
                             program_caption);
        reject();
    }
}

void SortDialog::k_clear_click() {
    work.reset_sort_lists(session_.portfolio);
    show_sort_lists();
}

void m_sort_click(Session& session) {
    SortDialog dialog(session);
    dialog.work.reset_sort_lists(session.portfolio);
    dialog.show_sort_lists();
    session.platform.run_modal(dialog);
}

}  // namespace chomaru
