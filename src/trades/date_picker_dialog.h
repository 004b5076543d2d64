#pragma once

#include <QDialog>
#include <string>

class QCalendarWidget;
class QPushButton;

namespace chomaru {

class Session;

// The trade date picker: a month calendar and an OK button. OK, or a
// double-click on a day, writes the selected date as short-date text into
// the picked date it was given and closes; any other close leaves that text
// as it was.
class DatePickerDialog : public QDialog {
    Q_OBJECT
public:
    explicit DatePickerDialog(std::string& picked_date, QWidget* parent = nullptr);

    QCalendarWidget* MonthView1;
    QPushButton* k_ok;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pick();
    void follow_page(int year, int month);

    std::string& picked_date_;
};

// Runs the picker as the trade entries do: the calendar set to today, shown
// modally, then a copy of the session's picked date. That copy is empty when
// the picker was closed without OK and no date has been picked in this run:
// the entry then ends as on Cancel, since a record needs a date.
std::string pick_trade_date(Session& session);

}  // namespace chomaru
