#include "views/twips.h"

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

}  // namespace chomaru
