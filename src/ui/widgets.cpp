#include "ui/widgets.h"

#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "ui/flex_grid.h"
#include "ui/twips.h"

namespace chomaru {

TitledFrame::TitledFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) { keep_title_room(); }

void TitledFrame::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) keep_title_room();
}

void TitledFrame::keep_title_room() {
    const int line = 2;
    setContentsMargins(0, title().isEmpty() ? line : fontMetrics().height() + line, 0, 0);
}

QFont program_font(double points) {
    QFont font(QStringLiteral("IPAPGothic"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

QFont figure_font(double points) {
    QFont font = program_font(points);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -1.0);
    return font;
}

namespace {

template <typename Widget>
Widget* placed(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height) {
    auto* w = new Widget(caption, parent);
    w->setObjectName(name);
    place(w, left, top, width, height);
    return w;
}

}  // namespace

QLabel* label(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height) {
    return placed<QLabel>(parent, name, caption, left, top, width, height);
}

QLabel* text_block(QWidget* parent, const QString& name, const QString& text, int left, int top, int width,
                   int height) {
    QLabel* l = label(parent, name, text, left, top, width, height);
    l->setWordWrap(true);
    return l;
}

FlexGrid* figure_table(QWidget* parent, const QString& name, const QStringList& headings,
                       std::initializer_list<int> widths, int left, int top, int width, int height) {
    auto* g = new FlexGrid(1, int(widths.size()), 1, 0, parent);
    g->setObjectName(name);
    g->setFont(figure_font(9.75));
    g->set_default_row_height(255);
    g->set_row_height(0, 270);
    int c = 0;
    for (const int w : widths) {
        g->set_text(0, c, headings.value(c));
        g->set_col_width(c, w);
        g->set_col_alignment(c, c == 0 ? align_centre : align_right);
        g->set_cell_alignment(0, c, align_centre);
        ++c;
    }
    place(g, left, top, width, height);
    return g;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                    int height) {
    return placed<QPushButton>(parent, name, caption, left, top, width, height);
}

QPushButton* accept_button(QDialog* dialog, const QString& name, const QString& caption, int left, int top, int width,
                           int height) {
    QPushButton* b = button(dialog, name, caption, left, top, width, height);
    b->setDefault(true);
    QObject::connect(b, &QPushButton::clicked, dialog, &QDialog::accept);
    return b;
}

}  // namespace chomaru
