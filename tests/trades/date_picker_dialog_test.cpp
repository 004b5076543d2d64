#include "trades/date_picker_dialog.h"

#include <QCalendarWidget>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextCharFormat>
#include <QToolButton>

#include "support/main_window_fixture.h"
#include "ui/twips.h"

namespace chomaru {
namespace {

using DatePicker = MainWindowTest;

DatePickerDialog& picker(QDialog& d) { return dynamic_cast<DatePickerDialog&>(d); }

TEST_F(DatePicker, LayoutCaptionsAndJapaneseCalendar) {
    std::string picked;
    DatePickerDialog dialog(platform, picked);
    EXPECT_EQ(dialog.objectName(), "sel_date");
    EXPECT_EQ(dialog.windowTitle(), "日付を選んで下さい");
    EXPECT_EQ(dialog.MonthView1->objectName(), "MonthView1");
    EXPECT_EQ(dialog.MonthView1->locale().language(), QLocale::Japanese);
    EXPECT_EQ(dialog.k_ok->objectName(), "k_ok");
    EXPECT_EQ(dialog.k_ok->text(), "OK");
    // The field, the calendar and the button keep their size in the middle
    // of a window wide enough for its whole caption.
    EXPECT_EQ(dialog.height(), 216);
    EXPECT_GE(dialog.width(), width_for_caption(dialog, dialog.windowTitle()));
    const QWidget* client = dialog.MonthView1->parentWidget();
    EXPECT_EQ(client->geometry(), QRect((dialog.width() - 173) / 2, 0, 173, 216));
    EXPECT_EQ(dialog.l_date->geometry(), QRect(8, 8, 159, 20));
    EXPECT_EQ(dialog.MonthView1->geometry(), QRect(8, 32, 159, 148));
    EXPECT_EQ(dialog.k_ok->geometry(), QRect(8, 184, 161, 25));
    // Only dates from 1970 to a year after today can be picked.
    EXPECT_EQ(dialog.MonthView1->minimumDate(), QDate(1970, 1, 1));
    EXPECT_EQ(dialog.MonthView1->maximumDate(), QDate(2027, 12, 7));
}

// What the user types into the picker as it opens: the field has the focus
// with today's date selected, so the typing replaces it.
class TypedDate : public DatePicker {
protected:
    // Opens the picker, types `keys` and presses Return, then Escape if the
    // picker is still open.
    std::string type(const QString& keys) {
        platform.on_dialog([keys](QDialog& d) {
            d.show();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
            QLineEdit* field = picker(d).l_date;
            ASSERT_TRUE(field->hasFocus());
            EXPECT_EQ(field->selectedText(), "2026/12/07");
            // Each part as keys, or as an input method commits it when it is not ASCII.
            for (const QString& part : keys.split(QLatin1Char('|'))) {
                if (part.toLatin1() == part.toUtf8()) {
                    QTest::keyClicks(field, part);
                } else {
                    QInputMethodEvent commit;
                    commit.setCommitString(part);
                    QApplication::sendEvent(field, &commit);
                }
            }
            QTest::keyClick(field, Qt::Key_Return);
            if (d.isVisible()) QTest::keyClick(field, Qt::Key_Escape);
        });
        return pick_trade_date(window->session());
    }
};

// 2026 and 1120 typed in two goes make 2026/11/20, never the year 1120;
// anything else keeps the picker open with a message until Escape.
TEST_F(TypedDate, ARealDateOfTheRangeOrNothing) {
    EXPECT_EQ(type("2026/01/05"), "2026/01/05");
    EXPECT_EQ(type("２０２６／１／５"), "2026/01/05");
    EXPECT_EQ(type("2026|1120"), "2026/11/20");
    EXPECT_TRUE(platform.messages.empty());
    for (const QString keys : {"2026", "2027/12/08"}) {
        platform.messages.clear();
        EXPECT_EQ(type(keys), "2026/11/20");  // the date picked before
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
    }
    EXPECT_EQ(platform.messages[0].text, "日付は 1970/01/01 から 2027/12/07 までで入力して下さい");
}

TEST_F(DatePicker, OkWithoutTouchingTheCalendarGivesToday) {
    platform.on_dialog([](QDialog& d) { picker(d).k_ok->click(); });
    EXPECT_EQ(pick_trade_date(window->session()), "2026/12/07");
    EXPECT_EQ(window->session().picked_date, "2026/12/07");
    EXPECT_EQ(platform.dialogs, std::vector<QString>{"sel_date"});
}

TEST_F(DatePicker, ADateInAnotherYearChosenThenOk) {
    platform.on_dialog([](QDialog& d) {
        EXPECT_EQ(picker(d).MonthView1->selectedDate(), QDate(2026, 12, 7));
        picker(d).MonthView1->setSelectedDate(QDate(2024, 2, 29));
        picker(d).k_ok->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    EXPECT_EQ(pick_trade_date(window->session()), "2024/02/29");
}

// Turning the calendar to another month or year carries the selected day
// along (the last day of a shorter month), so OK gives a date of the month
// on show; a day clicked in the greyed edge of a neighbouring month stays.
TEST_F(DatePicker, TurningTheMonthOrYearCarriesTheSelectedDayAlong) {
    platform.on_dialog([](QDialog& d) {
        QCalendarWidget* calendar = picker(d).MonthView1;
        auto* next = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_nextmonth"));
        ASSERT_NE(next, nullptr);
        next->click();
        EXPECT_EQ(calendar->selectedDate(), QDate(2027, 1, 7));
        picker(d).k_ok->click();
    });
    EXPECT_EQ(pick_trade_date(window->session()), "2027/01/07");

    platform.on_dialog([](QDialog& d) {
        QCalendarWidget* calendar = picker(d).MonthView1;
        calendar->setSelectedDate(QDate(2024, 1, 31));
        calendar->showNextMonth();
        EXPECT_EQ(calendar->selectedDate(), QDate(2024, 2, 29));
        calendar->setCurrentPage(2023, 2);
        EXPECT_EQ(calendar->selectedDate(), QDate(2023, 2, 28));
        picker(d).k_ok->click();
    });
    EXPECT_EQ(pick_trade_date(window->session()), "2023/02/28");

    platform.on_dialog([](QDialog& d) {
        QCalendarWidget* calendar = picker(d).MonthView1;
        d.show();
        auto* view = calendar->findChild<QTableView*>();
        ASSERT_NE(view, nullptr);
        // The Sunday of the page's last week is a day of January 2027.
        const QModelIndex sunday = view->model()->index(view->model()->rowCount() - 1, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(sunday).center());
        EXPECT_EQ(calendar->monthShown(), 1);
        EXPECT_EQ(calendar->selectedDate(), QDate(2027, 1, 3));
        picker(d).k_ok->click();
    });
    EXPECT_EQ(pick_trade_date(window->session()), "2027/01/03");
}

TEST_F(DatePicker, DoubleClickOnADayPicksItAndCloses) {
    platform.on_dialog([](QDialog& d) {
        QCalendarWidget* calendar = picker(d).MonthView1;
        calendar->setSelectedDate(QDate(2026, 12, 24));
        d.show();
        auto* view = calendar->findChild<QTableView*>();
        ASSERT_NE(view, nullptr);
        const QPoint day = view->visualRect(view->currentIndex()).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, day);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, day);
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(pick_trade_date(window->session()), "2026/12/24");
}

TEST_F(DatePicker, ClosingWithoutOkKeepsThePickedDate) {
    platform.on_dialog([](QDialog& d) { d.close(); });
    EXPECT_EQ(pick_trade_date(window->session()), "");

    window->session().picked_date = "2026/11/30";
    platform.on_dialog([](QDialog& d) {
        picker(d).MonthView1->setSelectedDate(QDate(2026, 1, 1));
        d.reject();
    });
    EXPECT_EQ(pick_trade_date(window->session()), "2026/11/30");
    EXPECT_EQ(window->session().picked_date, "2026/11/30");
}

TEST_F(DatePicker, TheMouseOverOkGivesItTheFocus) {
    std::string picked;
    DatePickerDialog dialog(platform, picked);
    dialog.show();
    dialog.MonthView1->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_FALSE(dialog.k_ok->hasFocus());
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), dialog.k_ok->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.k_ok, &move);
    EXPECT_TRUE(dialog.k_ok->hasFocus());
}

QColor colour_of(const QTextCharFormat& format) { return format.foreground().color(); }

TEST(JapaneseCalendarTest, YearBeforeMonthWeekendsAndHolidaysInTheirColours) {
    JapaneseCalendar calendar(QDate(2026, 11, 10));
    calendar.show();
    QCoreApplication::processEvents();
    auto* year = calendar.findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    auto* month = calendar.findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_TRUE(year && month);
    EXPECT_EQ(year->text() + month->text(), "2026年11月");
    EXPECT_LT(year->x(), month->x());

    const QColor saturday = colour_of(calendar.weekdayTextFormat(Qt::Saturday));
    const QColor sunday = colour_of(calendar.weekdayTextFormat(Qt::Sunday));
    EXPECT_GT(saturday.blue(), 2 * saturday.red());
    EXPECT_GT(sunday.red(), 2 * sunday.blue());
    EXPECT_EQ(calendar.weekdayTextFormat(Qt::Friday).foreground().style(), Qt::NoBrush);
    // Holidays on the page shown, and on a page turned to; a weekday that is
    // no holiday keeps the plain format.
    EXPECT_EQ(colour_of(calendar.dateTextFormat(QDate(2026, 11, 23))), sunday);
    EXPECT_EQ(calendar.dateTextFormat(QDate(2026, 11, 23)).toolTip(), "勤労感謝の日");
    EXPECT_EQ(calendar.dateTextFormat(QDate(2026, 11, 24)).foreground().style(), Qt::NoBrush);
    calendar.setCurrentPage(2027, 1);
    EXPECT_EQ(colour_of(calendar.dateTextFormat(QDate(2027, 1, 1))), sunday);
    EXPECT_EQ(calendar.dateTextFormat(QDate(2027, 1, 11)).toolTip(), "成人の日");
}

TEST(JapaneseCalendarTest, TodayIsFramed) {
    // Two calendars on the same page with the same day selected differ only
    // by which day is today.
    const auto drawn = [](const QDate& today) {
        JapaneseCalendar calendar(today);
        calendar.setSelectedDate(QDate(2026, 12, 15));
        calendar.setCurrentPage(2026, 12);
        calendar.resize(300, 220);
        return calendar.grab().toImage();
    };
    EXPECT_EQ(drawn(QDate(2026, 12, 7)), drawn(QDate(2026, 12, 7)));
    EXPECT_NE(drawn(QDate(2026, 12, 7)), drawn(QDate(2026, 12, 8)));
}

}  // namespace
}  // namespace chomaru
