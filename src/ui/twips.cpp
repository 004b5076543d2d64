#include "ui/twips.h"

#include <QFontMetrics>
#include <QLayout>
#include <algorithm>
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

void lay_out_placed(QWidget& window, const std::vector<PlacedRow>& rows) {
    const QSize placed_size = window.size();
    window.setMinimumSize(0, 0);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    auto* column = new QVBoxLayout(&window);
    column->setSpacing(0);
    int left = placed_size.width();
    int right = 0;
    for (const PlacedRow& row : rows)
        for (const QWidget* w : row.widgets) {
            left = std::min(left, w->x());
            right = std::max(right, w->geometry().right() + 1);
        }
    int above = rows.empty() || rows.front().widgets.empty() ? 0 : rows.front().widgets.front()->y();
    column->setContentsMargins(left, above, std::max(placed_size.width() - right, 0), 0);
    for (const PlacedRow& row : rows) {
        int top = placed_size.height();
        int bottom = 0;
        for (const QWidget* w : row.widgets) {
            top = std::min(top, w->y());
            bottom = std::max(bottom, w->geometry().bottom() + 1);
        }
        if (top > above) column->addSpacing(top - above);
        auto* line = new QHBoxLayout;
        line->setSpacing(0);
        int x = left;
        for (QWidget* w : row.widgets) {
            if (w->x() > x) line->addSpacing(w->x() - x);
            w->setMinimumSize(w->size());
            // A widget placed lower than the row's top keeps its distance.
            auto* cell = new QVBoxLayout;
            if (w->y() > top) cell->addSpacing(w->y() - top);
            cell->addWidget(w, 1);
            line->addLayout(cell, w == row.widgets.front() ? 1 : 0);
            x = w->geometry().right() + 1;
        }
        column->addLayout(line, row.stretch);
        above = bottom;
    }
    column->addSpacing(std::max(placed_size.height() - above, 0));
    window.resize(placed_size);
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
