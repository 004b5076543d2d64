#include "ui/widgets.h"

#include <QLabel>
#include <QPushButton>

#include "ui/twips.h"

namespace chomaru {

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

QLabel* label(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    place(l, left, top, width, height);
    return l;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                    int height) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    place(b, left, top, width, height);
    return b;
}

}  // namespace chomaru
