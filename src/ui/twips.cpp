#include "ui/twips.h"

#include <QFontMetrics>
#include <QLayout>
#include <cmath>

namespace chomaru {

int twips(const QWidget* widget, int value) {
    const double dpi = widget ? widget->logicalDpiX() : 96.0;
    return int(std::lround(value / 15.0 * dpi / 96.0));
}

QRect twips_rect(const QWidget* widget, int left, int top, int width, int height) {
    return QRect(twips(widget, left), twips(widget, top), twips(widget, width), twips(widget, height));
}

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twips_rect(widget, left, top, width, height));
}

QBoxLayout* twips_box(QBoxLayout::Direction direction, const QWidget* scale, QWidget* parent, int left, int top,
                      int right, int bottom, int spacing) {
    auto* box = new QBoxLayout(direction, parent);
    box->setContentsMargins(twips(scale, left), twips(scale, top), twips(scale, right), twips(scale, bottom));
    box->setSpacing(twips(scale, spacing));
    return box;
}

void lay_out_now(QWidget& window) {
    // Each widget before those inside it, so that every layout works in the
    // room its parent's layout has just given.
    if (window.layout()) window.layout()->activate();
    for (QWidget* w : window.findChildren<QWidget*>())
        if (w->layout() && !w->isWindow()) w->layout()->activate();
}

int width_for_caption(const QWidget& window, const QString& caption) {
    QFont title = window.font();
    title.setBold(true);
    const int title_bar_controls = 160 * window.logicalDpiX() / 96;
    return QFontMetrics(title).horizontalAdvance(caption) + title_bar_controls;
}

}  // namespace chomaru
