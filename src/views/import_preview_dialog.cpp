#include "views/import_preview_dialog.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/twips.h"

namespace chomaru {

namespace {

class PreviewModel : public QAbstractTableModel {
public:
    PreviewModel(PreviewTable table, QObject* parent) : QAbstractTableModel(parent), table_(std::move(table)) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : table_.rows; }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(table_.columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const int row = index.row();
        const int column = index.column();
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return table_.text(row, column);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (table_.columns[size_t(column)].right_aligned ? Qt::AlignRight : Qt::AlignLeft));
        case Qt::ForegroundRole:
            switch (table_.mark(row, column)) {
            case PreviewMark::skipped:
                return QColor(128, 128, 128);
            case PreviewMark::fault:
                return QColor(192, 0, 0);
            default:
                return {};
            }
        case Qt::BackgroundRole:
            if (table_.mark(row, column) == PreviewMark::warning) return QColor(255, 240, 160);
            return {};
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return table_.columns.at(size_t(section)).heading;
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    const PreviewTable table_;
};

// Rows looked at for the columns' widths, beyond those in view: enough for
// the common texts of a long file without reading all of it.
constexpr int width_sample_rows = 300;

}  // namespace

ImportPreviewDialog::ImportPreviewDialog(QWidget* parent, const QString& caption, const QString& heading,
                                         PreviewTable table, const QString& counts)
    : QDialog(parent) {
    const int columns = int(table.columns.size());
    setObjectName(QStringLiteral("import_preview"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);

    heading_label = new QLabel(heading, this);
    heading_label->setObjectName(QStringLiteral("heading_label"));
    heading_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(heading_label);

    table_view = new QTableView(this);
    table_view->setObjectName(QStringLiteral("preview_table"));
    table_view->setModel(new PreviewModel(std::move(table), table_view));
    table_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_view->setWordWrap(false);
    table_view->verticalHeader()->hide();
    table_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_view->verticalHeader()->setDefaultSectionSize(table_view->fontMetrics().height() + 6);
    table_view->horizontalHeader()->setResizeContentsPrecision(width_sample_rows);
    table_view->horizontalHeader()->setStretchLastSection(true);
    table_view->resizeColumnsToContents();
    layout->addWidget(table_view, 1);

    counts_label = new QLabel(counts, this);
    counts_label->setObjectName(QStringLiteral("counts_label"));
    counts_label->setWordWrap(true);
    layout->addWidget(counts_label);

    auto* buttons = new QDialogButtonBox(this);
    import_button = buttons->addButton(QStringLiteral("取り込む(&I)"), QDialogButtonBox::AcceptRole);
    import_button->setObjectName(QStringLiteral("import_button"));
    cancel_button = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel_button->setObjectName(QStringLiteral("cancel_button"));
    import_button->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // As wide as the columns need, within the screen, and tall enough for
    // about twenty rows.
    int width = table_view->frameWidth() * 2 + table_view->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < columns; ++c) width += table_view->columnWidth(c);
    const QMargins margins = layout->contentsMargins();
    width += margins.left() + margins.right();
    width = std::max({width, heading_label->sizeHint().width() + margins.left() + margins.right(),
                      width_for_caption(*this, caption)});
    int height = sizeHint().height() + 20 * table_view->verticalHeader()->defaultSectionSize();
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        width = std::min(width, room.width() * 9 / 10);
        height = std::min(height, room.height() * 8 / 10);
    }
    resize(width, height);
}

ImportPreviewDialog::~ImportPreviewDialog() = default;

}  // namespace chomaru
