#pragma once

#include <QCalendarWidget>
#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace chomaru {

class Platform;
class Session;

// A month calendar as Japanese calendars are printed: the year before the
// month in the heading ("2026年12月"), Saturdays blue, Sundays and national
// holidays red (a holiday's name as its tip), today framed.
class JapaneseCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    JapaneseCalendar(const QDate& today, QWidget* parent = nullptr);

protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;

private:
    void mark_holidays(int year, int month);

    QDate today_;
};

// The trade date picker: a date field over a month calendar, and an OK
// button. The field opens with the calendar's date selected, so a date typed
// replaces it and Return takes it; the calendar serves the mouse and the
// arrow keys, and each follows the other. OK, Return or a double-click on a
// day writes the date as short-date text into the picked date it was given
// and closes; a typed text that is not a date of the allowed range is
// refused with a message and the picker stays open. Any other close leaves
// the picked date as it was.
class DatePickerDialog : public QDialog {
    Q_OBJECT
public:
    DatePickerDialog(Platform& platform, std::string& picked_date, QWidget* parent = nullptr);

    // Selects `date` in the calendar and in the field.
    void set_date(const QDate& date);

    QLineEdit* l_date;
    JapaneseCalendar* MonthView1;
    QPushButton* k_ok;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pick();
    void follow_page(int year, int month);
    void follow_calendar();
    void follow_field(const QString& text);

    Platform& platform_;
    std::string& picked_date_;
};

// Runs the picker as the trade entries do: the calendar set to today, shown
// modally, then a copy of the session's picked date. That copy is empty when
// the picker was closed without OK and no date has been picked in this run:
// the entry then ends as on Cancel, since a record needs a date.
std::string pick_trade_date(Session& session);

}  // namespace chomaru
