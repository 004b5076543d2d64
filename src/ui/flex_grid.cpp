#include "ui/flex_grid.h"

#include <QHeaderView>

#include "ui/twips.h"

namespace chomaru {

FlexGrid::FlexGrid(int rows, int cols, int fixed_rows, int fixed_cols, QWidget* parent)
    : QTableWidget(parent), fixed_rows_(fixed_rows), fixed_cols_(fixed_cols) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    // Cells are narrow: text is clipped rather than shortened with an
    // ellipsis, and the padding is kept small.
    setTextElideMode(Qt::ElideNone);
    setStyleSheet(QStringLiteral("QTableView::item { padding: 0px 1px; }"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalHeader()->setMinimumSectionSize(1);
    setColumnCount(cols);
    set_rows(rows);
    connect(this, &QTableWidget::cellDoubleClicked, this, &FlexGrid::double_clicked);
}

void FlexGrid::set_rows(int rows) {
    const int before = rowCount();
    setRowCount(rows);
    const int height = default_row_height_ > 0 ? default_row_height_ : fontMetrics().height() + 4;
    for (int r = before; r < rows; ++r) {
        setRowHeight(r, height);
        prepare_row(r);
    }
}

void FlexGrid::set_default_row_height(int height_twips) {
    default_row_height_ = twips(this, height_twips);
    for (int r = 0; r < rowCount(); ++r) setRowHeight(r, default_row_height_);
}

void FlexGrid::prepare_row(int row) {
    for (int c = 0; c < columnCount(); ++c) {
        auto* item = new QTableWidgetItem();
        item->setFlags(Qt::ItemIsEnabled);
        if (row < fixed_rows_ || c < fixed_cols_) item->setBackground(palette().button());
        item->setTextAlignment(alignment_for(row, c, QString()));
        setItem(row, c, item);
    }
}

QTableWidgetItem* FlexGrid::cell(int row, int col) {
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        prepare_row(row);
        it = item(row, col);
    }
    return it;
}

QString FlexGrid::text(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void FlexGrid::set_text(int row, int col, const QString& value) {
    QTableWidgetItem* it = cell(row, col);
    it->setText(value);
    it->setTextAlignment(alignment_for(row, col, value));
}

void FlexGrid::clear_texts() {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) set_text(r, c, QString());
}

void FlexGrid::set_col_width(int col, int width_twips) { setColumnWidth(col, twips(this, width_twips)); }

void FlexGrid::set_row_height(int row, int height_twips) { setRowHeight(row, twips(this, height_twips)); }

void FlexGrid::set_col_alignment(int col, Qt::Alignment alignment) {
    col_alignment_[col] = alignment;
    for (int r = 0; r < rowCount(); ++r) cell(r, col)->setTextAlignment(alignment_for(r, col, text(r, col)));
}

void FlexGrid::set_cell_alignment(int row, int col, Qt::Alignment alignment) {
    cell_alignment_[{row, col}] = alignment;
    cell(row, col)->setTextAlignment(alignment);
}

// A cell's own alignment wins over its column's; without either, numbers
// stand right and other text left, as a spreadsheet shows them.
Qt::Alignment FlexGrid::alignment_for(int row, int col, const QString& value) const {
    if (auto it = cell_alignment_.find({row, col}); it != cell_alignment_.end()) return it->second;
    if (auto it = col_alignment_.find(col); it != col_alignment_.end()) return it->second;
    bool number = !value.isEmpty();
    for (QChar ch : value) number = number && ch.isDigit();
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

}  // namespace chomaru
