#include "trades/date_picker_dialog.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTextCharFormat>
#include <QToolButton>
#include <algorithm>
#include <optional>

#include "store/date_text.h"
#include "store/market_calendar.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/text_checks.h"
#include "ui/twips.h"

namespace chomaru {

namespace {

QDate qt_date(const Date& d) { return QDate(d.year, d.month, d.day); }

QString date_text(const QDate& d) { return qt_text(short_date_text(Date{d.year(), d.month(), d.day()})); }

// The date a field's text names, when it names one; nothing is shown.
std::optional<QDate> date_in(const QString& text) {
    try {
        return qt_date(typed_date(number_text(text)));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

const QColor saturday_colour(0x1f, 0x4f, 0xd8);
const QColor holiday_colour(0xd0, 0x10, 0x10);

QTextCharFormat coloured(const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}

}  // namespace

JapaneseCalendar::JapaneseCalendar(const QDate& today, QWidget* parent) : QCalendarWidget(parent), today_(today) {
    setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setWeekdayTextFormat(Qt::Saturday, coloured(saturday_colour));
    setWeekdayTextFormat(Qt::Sunday, coloured(holiday_colour));
    // The heading's year comes first, as "2026年": the year's button shows
    // the text of the year's spin box, which edits the year over it.
    auto* year_edit = findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"));
    auto* year = findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    auto* month = findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    auto* bar = findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"));
    auto* heading = bar ? qobject_cast<QBoxLayout*>(bar->layout()) : nullptr;
    if (year_edit) year_edit->setSuffix(QStringLiteral("年"));
    if (year && month && heading && heading->indexOf(year) >= 0 && heading->indexOf(month) >= 0) {
        heading->removeWidget(month);
        heading->insertWidget(heading->indexOf(year) + 1, month);
    }
    connect(this, &QCalendarWidget::currentPageChanged, this, &JapaneseCalendar::mark_holidays);
    setSelectedDate(today);
    mark_holidays(yearShown(), monthShown());
}

// The page shows up to six weeks around the month.
void JapaneseCalendar::mark_holidays(int year, int month) {
    const QDate first(year, month, 1);
    for (QDate d = first.addDays(-7); d <= first.addDays(42); d = d.addDays(1)) {
        const std::string_view name = holiday_name(Date{d.year(), d.month(), d.day()});
        if (name.empty()) continue;
        QTextCharFormat format = coloured(holiday_colour);
        format.setToolTip(QString::fromUtf8(name.data(), qsizetype(name.size())));
        setDateTextFormat(d, format);
    }
}

void JapaneseCalendar::paintCell(QPainter* painter, const QRect& rect, QDate date) const {
    QCalendarWidget::paintCell(painter, rect, date);
    if (date != today_) return;
    painter->save();
    painter->setPen(QPen(palette().color(QPalette::Text), 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(1, 1, -2, -2));
    painter->restore();
}

DatePickerDialog::DatePickerDialog(Platform& platform, std::string& picked_date, QWidget* parent)
    : QDialog(parent), platform_(platform), picked_date_(picked_date) {
    setObjectName(QStringLiteral("sel_date"));
    setWindowTitle(QStringLiteral("日付を選んで下さい"));
    // The window is as wide as its whole caption needs; the field, the
    // calendar and the button keep their size in the middle.
    const int client_width = twips(this, 2595);
    const int width = std::max(client_width, width_for_caption(*this, windowTitle()));
    setFixedSize(width, twips(this, 3240));
    auto* client = new QWidget(this);
    client->setGeometry((width - client_width) / 2, 0, client_width, height());

    l_date = new QLineEdit(client);
    l_date->setObjectName(QStringLiteral("l_date"));
    l_date->setToolTip(QStringLiteral("例: 2026/01/05、2026-01-05、20260105"));
    place(l_date, 120, 120, 2385, 300);

    const Date today = platform.today();
    MonthView1 = new JapaneseCalendar(qt_date(today), client);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    // Digits typed into the calendar would open its own small editor, which
    // takes no separators; typing goes into the field instead.
    MonthView1->setDateEditEnabled(false);
    MonthView1->setDateRange(qt_date(earliest_trade_date), qt_date(latest_trade_date(today)));
    place(MonthView1, 120, 480, 2385, 2220);

    k_ok = new QPushButton(QStringLiteral("OK"), client);
    k_ok->setObjectName(QStringLiteral("k_ok"));
    k_ok->setDefault(true);
    place(k_ok, 120, 2760, 2415, 375);
    // The mouse moving over the button gives it the keyboard focus.
    k_ok->setMouseTracking(true);
    k_ok->installEventFilter(this);

    setTabOrder(l_date, MonthView1);
    setTabOrder(MonthView1, k_ok);
    connect(k_ok, &QPushButton::clicked, this, &DatePickerDialog::pick);
    connect(MonthView1, &QCalendarWidget::activated, this, &DatePickerDialog::pick);
    connect(MonthView1, &QCalendarWidget::currentPageChanged, this, &DatePickerDialog::follow_page);
    connect(MonthView1, &QCalendarWidget::selectionChanged, this, &DatePickerDialog::follow_calendar);
    connect(l_date, &QLineEdit::textEdited, this, &DatePickerDialog::follow_field);
    set_date(qt_date(today));
    l_date->setFocus();
}

void DatePickerDialog::set_date(const QDate& date) {
    MonthView1->setSelectedDate(date);
    follow_calendar();
    l_date->selectAll();
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

// The field shows the calendar's date, unless it already names that date as typed.
void DatePickerDialog::follow_calendar() {
    const QDate selected = MonthView1->selectedDate();
    if (date_in(l_date->text()) != selected) l_date->setText(date_text(selected));
}

void DatePickerDialog::follow_field(const QString& text) {
    const std::optional<QDate> typed = date_in(text);
    if (typed && *typed >= MonthView1->minimumDate() && *typed <= MonthView1->maximumDate())
        MonthView1->setSelectedDate(*typed);
}

bool DatePickerDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == k_ok && event->type() == QEvent::MouseMove) k_ok->setFocus(Qt::MouseFocusReason);
    return QDialog::eventFilter(watched, event);
}

// The field always holds the date to take: the calendar's own, or one typed.
void DatePickerDialog::pick() {
    const std::optional<Date> date = accept_trade_date(platform_, l_date->text());
    if (!date) {
        l_date->setFocus();
        l_date->selectAll();
        return;
    }
    picked_date_ = short_date_text(*date);
    accept();
}

std::string pick_trade_date(Session& session) {
    DatePickerDialog dialog(session.platform, session.picked_date, session.dialog_parent);
    session.platform.run_modal(dialog);
    return session.picked_date;
}

}  // namespace chomaru
