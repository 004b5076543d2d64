#include "ui/flex_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <numeric>
#include <optional>

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
    connect(heading, &QHeaderView::sectionResized, this, &FlexGrid::fit_size);
    connect(verticalHeader(), &QHeaderView::sectionResized, this, &FlexGrid::fit_size);
}

void FlexGrid::set_rows(int rows) {
    const int before = rowCount();
    const int table_rows = std::max(std::max(rows, rows_filling_height()) - fixed_rows_, 0);
    setRowCount(table_rows);
    const int height = default_row_height_ > 0 ? default_row_height_ : fontMetrics().height() + 4;
    for (int r = before; r < table_rows; ++r) {
        setRowHeight(r, height);
        prepare_row(r);
    }
    fit_size();
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
    if (c == 0 && least_rows_ > 0) item->setText(QString::number(table_row + fixed_rows_));
    item->setTextAlignment(alignment_for(table_row + fixed_rows_, c, item->text()));
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

void FlexGrid::set_col_width(int col, int width_twips) { set_col_pixels(col, twips(this, width_twips)); }

void FlexGrid::widen_col(int col, int pixels) { set_col_pixels(col, columnWidth(col) + pixels); }

void FlexGrid::set_col_pixels(int col, int pixels) {
    if (int(set_widths_.size()) < columnCount()) set_widths_.resize(size_t(columnCount()));
    set_widths_.at(size_t(col)) = pixels;
    setColumnWidth(col, pixels);
    fill_columns();
}

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

void FlexGrid::keep_size(int width_twips, int height_twips) {
    design_size_ = QSize(twips(this, width_twips), twips(this, height_twips));
    fit_size();
}

QSize FlexGrid::cells_size() const {
    int width = 0;
    for (int c = 0; c < columnCount(); ++c) width += columnWidth(c);
    int height = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->height();
    for (int r = 0; r < rowCount(); ++r) height += rowHeight(r);
    return QSize(width, height) + QSize(2 * frameWidth(), 2 * frameWidth());
}

void FlexGrid::fit_size() {
    if (design_size_.isValid()) setFixedSize(design_size_.expandedTo(cells_size()));
}

void FlexGrid::fill_width() {
    fill_width_ = true;
    fill_columns();
}

// The fixed columns (row numbers, labels) keep their width; each other
// column takes its share of the room beyond the widths set, in proportion to
// its width, and the last what rounding leaves.
void FlexGrid::fill_columns() {
    if (!fill_width_ || filling_ || int(set_widths_.size()) != columnCount()) return;
    filling_ = true;
    const auto first_free = set_widths_.begin() + std::min(fixed_cols_, columnCount());
    const int fixed = std::accumulate(set_widths_.begin(), first_free, 0);
    const int free = std::accumulate(first_free, set_widths_.end(), 0);
    const int room = std::max(viewport()->width() - fixed, free);
    int given = 0;
    for (int c = 0; c < columnCount(); ++c) {
        const int set = set_widths_[size_t(c)];
        const int width = c < fixed_cols_         ? set
                          : c + 1 < columnCount() ? int(int64_t(set) * room / std::max(free, 1))
                                                  : room - given;
        if (columnWidth(c) != width) setColumnWidth(c, width);
        if (c >= fixed_cols_) given += width;
    }
    filling_ = false;
}

void FlexGrid::number_rows(int least) {
    least_rows_ = least;
    for (int r = 0; r < rowCount(); ++r) set_text(r + fixed_rows_, 0, QString::number(r + fixed_rows_));
    fill_height();
}

// A grid not on screen may not have its size yet: it has the least rows.
int FlexGrid::rows_filling_height() const {
    if (least_rows_ == 0) return 0;
    if (!isVisible()) return least_rows_;
    const int height = default_row_height_ > 0 ? default_row_height_ : fontMetrics().height() + 4;
    return std::max(least_rows_, fixed_rows_ + viewport()->height() / height);
}

// Rows are added to fill a grid made taller; of a grid made shorter, the
// empty rows under the last filled one go as far as the height allows.
void FlexGrid::fill_height() {
    if (least_rows_ == 0 || filling_) return;
    filling_ = true;
    const int fitting = rows_filling_height();
    int last = rows();
    const auto empty = [this](int row) {
        for (int c = 1; c < columnCount(); ++c)
            if (!text(row, c).isEmpty()) return false;
        return true;
    };
    while (last > fitting && empty(last - 1)) --last;
    if (std::max(last, fitting) != rows()) set_rows(last);
    filling_ = false;
}

void FlexGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    fill_columns();
    fill_height();
}

void FlexGrid::take_keyboard() {
    keyboard_ = true;
    setFocusPolicy(Qt::StrongFocus);
    // Tab leaves the grid for the next control; the arrows move in it.
    setTabKeyNavigation(false);
}

void FlexGrid::focusInEvent(QFocusEvent* event) {
    if (!currentIndex().isValid() && rowCount() > 0 && columnCount() > fixed_cols_)
        setCurrentCell(row_at(0), fixed_cols_);
    QTableWidget::focusInEvent(event);
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    if (keyboard_ && current.isValid() && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F2:
            emit double_clicked(current.row() + fixed_rows_, current.column());
            return;
        case Qt::Key_Delete:
            emit delete_pressed(current.row() + fixed_rows_);
            return;
        default:
            break;
        }
    }
    QTableWidget::keyPressEvent(event);
}

// The current cell is framed while the grid has the keyboard, whatever the
// style draws for it.
void FlexGrid::paintEvent(QPaintEvent* event) {
    QTableWidget::paintEvent(event);
    if (!keyboard_ || !hasFocus() || !currentIndex().isValid()) return;
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(visualRect(currentIndex()).adjusted(1, 1, -1, -1));
}

void FlexGrid::sort_on_heading_click() {
    QHeaderView* heading = horizontalHeader();
    heading->setSectionsClickable(true);
    heading->setSortIndicatorShown(true);
    heading->setSortIndicatorClearable(true);
    heading->setSortIndicator(-1, Qt::AscendingOrder);
    connect(heading, &QHeaderView::sortIndicatorChanged, this, &FlexGrid::sort_rows);
}

int FlexGrid::row_at(int place) const { return verticalHeader()->logicalIndex(place); }

namespace {

// A cell's text as a number when it shows one: "¥1,234", "-¥5", "12,345",
// "2.50%", "+3".
std::optional<double> shown_number(QString text) {
    text.remove(QChar(u'¥')).remove(QLatin1Char(',')).remove(QLatin1Char('%'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

void FlexGrid::sort_rows(int col, Qt::SortOrder order) {
    std::vector<int> order_shown(static_cast<size_t>(rowCount()));
    std::iota(order_shown.begin(), order_shown.end(), 0);
    if (col >= 0) {
        // Empty rows stay below the others, in their order; numbers come
        // first, then texts (such as "—"), each in the order asked for.
        const auto at_bottom = [this](int r) {
            for (int c = 0; c < columnCount(); ++c)
                if (!text(r + fixed_rows_, c).isEmpty()) return false;
            return true;
        };
        const auto sorted_end =
            std::stable_partition(order_shown.begin(), order_shown.end(), [&](int r) { return !at_bottom(r); });
        const bool ascending = order == Qt::AscendingOrder;
        std::stable_sort(order_shown.begin(), sorted_end, [this, col, ascending](int a, int b) {
            const QString ta = text(a + fixed_rows_, col);
            const QString tb = text(b + fixed_rows_, col);
            const std::optional<double> na = shown_number(ta);
            const std::optional<double> nb = shown_number(tb);
            if (bool(na) != bool(nb)) return bool(na);
            if (na) return ascending ? *na < *nb : *nb < *na;
            return ascending ? ta < tb : tb < ta;
        });
    }
    QHeaderView* rows_header = verticalHeader();
    for (int place = 0; place < int(order_shown.size()); ++place)
        rows_header->moveSection(rows_header->visualIndex(order_shown[size_t(place)]), place);
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
