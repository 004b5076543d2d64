#pragma once

#include <QTableWidget>
#include <map>

namespace chomaru {

// A read-only grid of text cells addressed by (row, column), with fixed
// columns drawn in the button colour. With one fixed row, row 0 is the
// heading row: the table's header, which stays in view while the other
// rows scroll. The program writes every cell; the user can only
// double-click.
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

signals:
    void double_clicked(int row, int col);

private:
    bool is_heading(int row) const { return row < fixed_rows_; }
    QTableWidgetItem* cell(int row, int col);
    const QTableWidgetItem* cell(int row, int col) const;
    void prepare_row(int table_row);
    void prepare_cell(int table_row, int col);
    Qt::Alignment alignment_for(int row, int col, const QString& text) const;

    int default_row_height_ = 0;
    int fixed_rows_;
    int fixed_cols_;
    std::map<int, Qt::Alignment> col_alignment_;
    std::map<std::pair<int, int>, Qt::Alignment> cell_alignment_;
};

// Figures below zero are drawn in red, a price set more than a week ago in
// grey.
inline QColor below_zero_colour() { return QColor(Qt::red); }
inline QColor old_price_colour() { return QColor(Qt::gray); }

inline constexpr Qt::Alignment align_centre = Qt::AlignHCenter | Qt::AlignVCenter;
inline constexpr Qt::Alignment align_right = Qt::AlignRight | Qt::AlignVCenter;

}  // namespace chomaru
