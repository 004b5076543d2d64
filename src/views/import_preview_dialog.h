#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace chomaru {

// How a cell of a preview is shown: as it is, greyed (a row left out),
// highlighted (imported with a warning) or in red (a row that does not read
// or does not fit).
enum class PreviewMark { none, skipped, warning, fault };

struct PreviewColumn {
    QString heading;
    bool right_aligned = false;
};

// The rows of a preview as they are shown. The texts are asked for only for
// the rows in view, so a file of many thousand rows opens at once.
struct PreviewTable {
    std::vector<PreviewColumn> columns;
    int rows = 0;
    std::function<QString(int row, int column)> text;
    std::function<PreviewMark(int row, int column)> mark;
};

// What an import would do, row by row, before anything changes: a heading
// (the file, its format and encoding), the table and the counts under it.
// 取り込む accepts the dialog (it is the default button); キャンセル and
// Escape reject it.
class ImportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ImportPreviewDialog(QWidget* parent, const QString& caption, const QString& heading, PreviewTable table,
                        const QString& counts);
    ~ImportPreviewDialog() override;

    QLabel* heading_label;
    QTableView* table_view;
    QLabel* counts_label;
    QPushButton* import_button;
    QPushButton* cancel_button;
};

}  // namespace chomaru
