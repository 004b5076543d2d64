#include "trades/date_picker_dialog.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QLocale>
#include <QPushButton>
#include <algorithm>

#include "store/date_text.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"

namespace chomaru {

DatePickerDialog::DatePickerDialog(std::string& picked_date, QWidget* parent)
    : QDialog(parent), picked_date_(picked_date) {
    setObjectName(QStringLiteral("sel_date"));
    setWindowTitle(QStringLiteral("日付を選んで下さい"));
    // The window is as wide as its whole caption needs; the calendar and the
    // button keep their size in the middle.
    const int client_width = twips(this, 2595);
    const int width = std::max(client_width, width_for_caption(*this, windowTitle()));
    setFixedSize(width, twips(this, 2880));
    auto* client = new QWidget(this);
    client->setGeometry((width - client_width) / 2, 0, client_width, height());

    MonthView1 = new QCalendarWidget(client);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    place(MonthView1, 120, 120, 2385, 2220);

    k_ok = new QPushButton(QStringLiteral("OK"), client);
    k_ok->setObjectName(QStringLiteral("k_ok"));
    place(k_ok, 120, 2400, 2415, 375);
    // The mouse moving over the button gives it the keyboard focus.
    k_ok->setMouseTracking(true);
    k_ok->installEventFilter(this);

    connect(k_ok, &QPushButton::clicked, this, &DatePickerDialog::pick);
    connect(MonthView1, &QCalendarWidget::activated, this, &DatePickerDialog::pick);
    connect(MonthView1, &QCalendarWidget::currentPageChanged, this, &DatePickerDialog::follow_page);
}

void DatePickerDialog::follow_page(int year, int month) {
    // Turning to another month or year takes the selected day along, to the
    // last day of a shorter month, so that the date OK gives is always one
    // of the month on show. A day clicked in a neighbouring month is already
    // selected when its month is turned to, and stays.
    const QDate selected = MonthView1->selectedDate();
    if (selected.year() == year && selected.month() == month) return;
    const QDate first(year, month, 1);
    MonthView1->setSelectedDate(first.addDays(std::min(selected.day(), first.daysInMonth()) - 1));
}

bool DatePickerDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == k_ok && event->type() == QEvent::MouseMove) k_ok->setFocus(Qt::MouseFocusReason);
    return QDialog::eventFilter(watched, event);
}

void DatePickerDialog::pick() {
    const QDate d = MonthView1->selectedDate();
    picked_date_ = short_date_text(Date{d.year(), d.month(), d.day()});
    accept();
}

std::string pick_trade_date(Session& session) {
    DatePickerDialog dialog(session.picked_date, session.dialog_parent);
    const Date today = session.platform.today();
    dialog.MonthView1->setSelectedDate(QDate(today.year, today.month, today.day));
    session.platform.run_modal(dialog);
    return session.picked_date;
}

}  // namespace chomaru
