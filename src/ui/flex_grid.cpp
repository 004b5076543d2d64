#include "ui/flex_grid.h"

#include <QHeaderView>
#include <algorithm>

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
    // ellipsis. The style's own cell margins are kept; a style sheet for
    // them drew the same pixels and made each grid slower to build.
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalHeader()->setMinimumSectionSize(1);
    QHeaderView* heading = horizontalHeader();
    heading->setVisible(fixed_rows_ > 0);
    heading->setSectionResizeMode(QHeaderView::Fixed);
    heading->setSectionsClickable(false);
    heading->setHighlightSections(false);
    heading->setMinimumSectionSize(1);
    heading->setFixedHeight(fontMetrics().height() + 4);
    set_cols(cols);
    set_rows(rows);
    connect(this, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int col) { emit double_clicked(row + fixed_rows_, col); });
}

void FlexGrid::set_rows(int rows) {
    const int before = rowCount();
    const int table_rows = std::max(rows - fixed_rows_, 0);
    setRowCount(table_rows);
    const int height = default_row_height_ > 0 ? default_row_height_ : fontMetrics().height() + 4;
    for (int r = before; r < table_rows; ++r) {
        setRowHeight(r, height);
        prepare_row(r);
    }
}

void FlexGrid::set_default_row_height(int height_twips) {
    default_row_height_ = twips(this, height_twips);
    horizontalHeader()->setFixedHeight(default_row_height_);
    for (int r = 0; r < rowCount(); ++r) setRowHeight(r, default_row_height_);
}

void FlexGrid::set_cols(int cols) {
    const int before = columnCount();
    setColumnCount(cols);
    for (int c = before; c < cols; ++c) {
        auto* heading = new QTableWidgetItem();
        heading->setTextAlignment(align_centre);
        setHorizontalHeaderItem(c, heading);
        for (int r = 0; r < rowCount(); ++r) prepare_cell(r, c);
    }
}

void FlexGrid::prepare_row(int table_row) {
    for (int c = 0; c < columnCount(); ++c) prepare_cell(table_row, c);
}

void FlexGrid::prepare_cell(int table_row, int c) {
    auto* item = new QTableWidgetItem();
    item->setFlags(Qt::ItemIsEnabled);
    if (c < fixed_cols_) item->setBackground(palette().button());
    item->setTextAlignment(alignment_for(table_row + fixed_rows_, c, QString()));
    setItem(table_row, c, item);
}

QTableWidgetItem* FlexGrid::cell(int row, int col) {
    if (is_heading(row)) return horizontalHeaderItem(col);
    QTableWidgetItem* it = item(row - fixed_rows_, col);
    if (!it) {
        prepare_row(row - fixed_rows_);
        it = item(row - fixed_rows_, col);
    }
    return it;
}

const QTableWidgetItem* FlexGrid::cell(int row, int col) const {
    return is_heading(row) ? horizontalHeaderItem(col) : item(row - fixed_rows_, col);
}

QString FlexGrid::text(int row, int col) const {
    const QTableWidgetItem* it = cell(row, col);
    return it ? it->text() : QString();
}

void FlexGrid::set_text(int row, int col, const QString& value) {
    QTableWidgetItem* it = cell(row, col);
    it->setText(value);
    it->setTextAlignment(alignment_for(row, col, value));
}

void FlexGrid::clear_texts() {
    for (int r = 0; r < rows(); ++r)
        for (int c = 0; c < columnCount(); ++c) set_text(r, c, QString());
}

void FlexGrid::set_col_width(int col, int width_twips) { setColumnWidth(col, twips(this, width_twips)); }

void FlexGrid::set_row_height(int row, int height_twips) {
    if (is_heading(row))
        horizontalHeader()->setFixedHeight(twips(this, height_twips));
    else
        setRowHeight(row - fixed_rows_, twips(this, height_twips));
}

void FlexGrid::set_col_alignment(int col, Qt::Alignment alignment) {
    col_alignment_[col] = alignment;
    for (int r = 0; r < rows(); ++r) cell(r, col)->setTextAlignment(alignment_for(r, col, text(r, col)));
}

void FlexGrid::set_cell_alignment(int row, int col, Qt::Alignment alignment) {
    cell_alignment_[{row, col}] = alignment;
    cell(row, col)->setTextAlignment(alignment);
}

void FlexGrid::set_text_colour(int row, int col, const QColor& colour) {
    cell(row, col)->setForeground(colour.isValid() ? QBrush(colour) : QBrush());
}

QColor FlexGrid::text_colour(int row, int col) const {
    const QTableWidgetItem* it = cell(row, col);
    return it && it->foreground().style() != Qt::NoBrush ? it->foreground().color() : QColor();
}

void FlexGrid::scroll_to_row(int row) {
    if (is_heading(row) || row >= rows()) return;
    // Rows just added are not yet in the scroll bar's range, which the view
    // updates later; scrolling against the old range stops short of them.
    updateGeometries();
    scrollToItem(cell(row, 0), QAbstractItemView::EnsureVisible);
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
