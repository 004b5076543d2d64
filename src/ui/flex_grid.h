#pragma once

#include <QSize>
#include <QTableWidget>
#include <map>
#include <vector>

namespace chomaru {

// A read-only grid of text cells addressed by (row, column), with fixed
// columns drawn in the button colour. With one fixed row, row 0 is the
// heading row: the table's header, which stays in view while the other
// rows scroll. The program writes every cell; the user can only
// double-click, or do the same from the keyboard where that is allowed.
class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    // `fixed_rows` is 0 or 1.
    FlexGrid(int rows, int cols, int fixed_rows, int fixed_cols, QWidget* parent = nullptr);

    // The height of rows added from now on, and of the heading row.
    void set_default_row_height(int twips);

    void set_rows(int rows);
    // Columns added keep the rows' texts.
    void set_cols(int cols);
    int rows() const { return rowCount() + fixed_rows_; }
    int cols() const { return columnCount(); }

    QString text(int row, int col) const;
    void set_text(int row, int col, const QString& text);
    void clear_texts();

    void set_col_width(int col, int twips);
    void set_row_height(int row, int twips);
    void set_col_alignment(int col, Qt::Alignment alignment);
    void set_cell_alignment(int row, int col, Qt::Alignment alignment);
    // The colour of a cell's text; an invalid colour gives the style's own.
    void set_text_colour(int row, int col, const QColor& colour);
    QColor text_colour(int row, int col) const;

    // Scrolls as little as needed to show the row whole.
    void scroll_to_row(int row);

    // The grid keeps this size whatever room its layout offers, or the size
    // its cells need when that is larger (a larger font, a style with wider
    // frames, a row added).
    void keep_size(int width_twips, int height_twips);
    // The size that shows every cell without scrolling.
    QSize cells_size() const;

    // Column 0 numbers the rows under the heading 1, 2, ...; the grid has
    // as many rows as fill its height, never fewer than `least`.
    void number_rows(int least);

    // The columns widen in proportion to fill a grid wider than their
    // widths; they never become narrower than set.
    void fill_width();
    // Column `col` is set `pixels` wider than it was.
    void widen_col(int col, int pixels);

    // The grid is in the Tab order with its current cell framed; the arrow
    // keys move it, Enter or F2 acts as a double-click on it, and Delete
    // asks for its row to be deleted.
    void take_keyboard();

    // A click on a heading sorts the rows by that column, ascending; a
    // second click descending, a third back to the order they were written
    // in. Amounts, counts and percentages sort as numbers, other text as
    // text; empty rows stay at the bottom. Only the
    // order on screen changes: rows keep their numbers for text() and
    // set_text().
    void sort_on_heading_click();
    // The row shown at place `place` (0 is the first row under the heading).
    int row_at(int place) const;

signals:
    void double_clicked(int row, int col);
    void delete_pressed(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;

private:
    bool is_heading(int row) const { return row < fixed_rows_; }
    QTableWidgetItem* cell(int row, int col);
    const QTableWidgetItem* cell(int row, int col) const;
    void prepare_row(int table_row);
    void prepare_cell(int table_row, int col);
    Qt::Alignment alignment_for(int row, int col, const QString& text) const;
    void set_col_pixels(int col, int pixels);
    void fit_size();
    void fill_columns();
    int rows_filling_height() const;
    void fill_height();
    void sort_rows(int col, Qt::SortOrder order);

    int default_row_height_ = 0;
    int fixed_rows_;
    int fixed_cols_;
    std::map<int, Qt::Alignment> col_alignment_;
    std::map<std::pair<int, int>, Qt::Alignment> cell_alignment_;
    QSize design_size_;
    bool keyboard_ = false;
    int least_rows_ = 0;  // with numbered rows
    bool fill_width_ = false;
    bool filling_ = false;
    std::vector<int> set_widths_;
};

// Figures below zero are drawn in red, a price set more than a week ago in
// grey.
inline QColor below_zero_colour() { return QColor(Qt::red); }
inline QColor old_price_colour() { return QColor(Qt::gray); }

inline constexpr Qt::Alignment align_centre = Qt::AlignHCenter | Qt::AlignVCenter;
inline constexpr Qt::Alignment align_right = Qt::AlignRight | Qt::AlignVCenter;

}  // namespace chomaru
