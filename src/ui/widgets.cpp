#include "ui/widgets.h"

#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

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
