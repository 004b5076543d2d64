#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>

#include "reports/chart_window.h"
#include "reports/list_window.h"
#include "reports/nisa_window.h"
#include "reports/year_window.h"
#include "support/main_window_fixture.h"
#include "trades/date_picker_dialog.h"

namespace chomaru {
namespace {

class WindowLayout : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        style_ = QApplication::style()->name();
        palette_ = QApplication::palette();
        font_ = QApplication::font();
        platform.settings_file = folder / "places.ini";
    }
    void TearDown() override {
        QApplication::setStyle(style_);
        QApplication::setPalette(palette_);
        QApplication::setFont(font_);
        MainWindowTest::TearDown();
    }

    QString style_;
    QPalette palette_;
    QFont font_;
};

QPalette dark_palette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(45, 45, 45));
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::Base, QColor(30, 30, 30));
    p.setColor(QPalette::AlternateBase, QColor(50, 50, 50));
    p.setColor(QPalette::Text, QColor(230, 230, 230));
    p.setColor(QPalette::Button, QColor(55, 55, 55));
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    p.setColor(QPalette::Highlight, QColor(40, 90, 160));
    return p;
}

int text_width(const QFontMetrics& metrics, QString text) {
    text.remove(QLatin1Char('&'));
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

// Every label, button and frame title shown in the window has room for its
// whole text, and lies whole in the window.
void expect_nothing_cut(QWidget& window, const QString& where) {
    window.show();
    QCoreApplication::processEvents();
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible() || !(qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
                                 qobject_cast<const QGroupBox*>(w) || qobject_cast<const FlexGrid*>(w)))
            continue;
        const QRect placed(w->mapTo(&window, QPoint(0, 0)), w->size());
        EXPECT_TRUE(window.rect().contains(placed)) << qPrintable(where) << " " << qPrintable(w->objectName());
    }
    for (const QLabel* l : window.findChildren<QLabel*>()) {
        if (!l->isVisible() || l->wordWrap() || l->text().isEmpty() || l->textFormat() == Qt::RichText) continue;
        const int room = l->contentsRect().width() - 2 * l->margin() - std::max(l->indent(), 0);
        EXPECT_LE(text_width(l->fontMetrics(), l->text()), room) << qPrintable(where) << " " << qPrintable(l->text());
    }
    for (const QAbstractButton* b : window.findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || b->text().isEmpty()) continue;
        EXPECT_LT(text_width(b->fontMetrics(), b->text()), b->width())
            << qPrintable(where) << " " << qPrintable(b->text());
    }
    for (const QGroupBox* g : window.findChildren<QGroupBox*>())
        EXPECT_LT(text_width(g->fontMetrics(), g->title()), g->width())
            << qPrintable(where) << " " << qPrintable(g->title());
    window.hide();
}

TEST_F(WindowLayout, NoTextIsCutInAnyStyleOrPalette) {
    start_with_stock(QStringLiteral("1111"), QStringLiteral("日本電信電話"));
    stock().buys[0] = TradeRecord{"2026/01/05", 1234567, 10000, Currency::from_yen(12345670000)};
    stock().buy_count = 1;
    const QFont larger(font_.family(), 14);
    for (const char* style : {"Fusion", "Windows"}) {
        for (const bool dark : {false, true}) {
            QApplication::setStyle(QStyleFactory::create(QString::fromLatin1(style)));
            QApplication::setPalette(dark ? dark_palette() : QApplication::style()->standardPalette());
            // A dark desktop theme often comes with its own, larger font.
            QApplication::setFont(dark ? larger : font_);
            const QString where = QString::fromLatin1(style) + (dark ? QStringLiteral(" dark") : QString());
            StockMain main(platform);
            main.attach(*document);
            expect_nothing_cut(main, where + QStringLiteral(" main"));
            ListWindow list(&main);
            setup_list_grid(list);
            show_portfolio_list(list, *portfolio);
            expect_nothing_cut(list, where + QStringLiteral(" list"));
            YearWindow year(*portfolio, platform, &main);
            expect_nothing_cut(year, where + QStringLiteral(" year"));
            NisaWindow nisa(*portfolio, 2026, &main);
            expect_nothing_cut(nisa, where + QStringLiteral(" NISA"));
            std::string picked;
            DatePickerDialog picker(platform, picked, &main);
            expect_nothing_cut(picker, where + QStringLiteral(" date"));
        }
    }
}

TEST_F(WindowLayout, TheMainWindowKeepsItsSizeAndTabAndNeverShrinks) {
    QSize least;
    {
        StockMain first(platform);
        first.show();
        least = first.size();
        first.resize(least + QSize(300, 400));
        first.SSTab1->setCurrentIndex(1);
        first.close();
    }
    StockMain again(platform);
    again.show();
    EXPECT_EQ(again.size(), least + QSize(300, 400));
    EXPECT_EQ(again.SSTab1->currentIndex(), 1);
    again.resize(100, 100);
    EXPECT_EQ(again.size(), least);
}

TEST_F(WindowLayout, ATallerWindowShowsMoreNumberedRecordRows) {
    start_with_stock();
    window->show();
    QCoreApplication::processEvents();
    const int rows_before = window->buy_fig->rows();
    window->resize(window->size() + QSize(0, 400));
    QCoreApplication::processEvents();
    const int row_height = window->buy_fig->rowHeight(0);
    EXPECT_GE(window->buy_fig->rows(), rows_before + 400 / row_height - 1);
    const int last = window->buy_fig->rows() - 1;
    EXPECT_EQ(window->buy_fig->text(last, 0), QString::number(last));
    // Numbers stand at the right of their cell, the first rows' as the new ones'.
    for (const int row : {1, last})
        EXPECT_TRUE(window->buy_fig->item(row - 1, 0)->textAlignment() & Qt::AlignRight) << row;  // under the heading
}

TEST_F(WindowLayout, WindowsOpenOverTheMainWindowAndKeepTheirSize) {
    start_with_stock();
    window->show();
    window->move(150, 100);
    QSize first;
    QSize second;
    QPoint centre;
    platform.on_dialog([&](QDialog& d) {
        first = d.size();
        centre = d.geometry().center();
        d.show();
        d.resize(d.size() + QSize(60, 40));
        d.hide();
    });
    window->all_list_key->click();
    EXPECT_TRUE(window->frameGeometry().contains(centre));
    platform.on_dialog([&](QDialog& d) { second = d.size(); });
    window->all_list_key->click();
    EXPECT_EQ(second, first + QSize(60, 40));

    // The year's report grows, its tables with it.
    int table_width = 0;
    platform.on_dialog([&](QDialog& d) {
        auto& year = dynamic_cast<YearWindow&>(d);
        d.show();
        table_width = year.sales_fig->width();
        d.resize(d.size() + QSize(200, 100));
        QCoreApplication::processEvents();
        table_width = year.sales_fig->width() - table_width;
    });
    window->m_year_report->trigger();
    EXPECT_EQ(table_width, 200);

    window->m_chart->trigger();
    auto* chart = window->findChild<ChartWindow*>();
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(window->frameGeometry().contains(chart->geometry().center()));
}

TEST_F(WindowLayout, AtItsDefaultSizeTheMainWindowLooksAsItsDesign) {
    start_with_stock();
    // The design in twips (15 to a pixel here), each control within its
    // frame or the client area.
    const struct {
        QWidget* widget;
        QRect design;
    } controls[] = {
        {window->Frame3, {120, 120, 3255, 855}},         {window->Frame4, {3480, 120, 3255, 855}},
        {window->new_name_key, {6960, 360, 1575, 495}},  {window->all_list_key, {8640, 360, 1575, 495}},
        {window->Frame1, {120, 1080, 2775, 5490}},       {window->Frame2, {3000, 1080, 1935, 5490}},
        {window->SSTab1, {5040, 1200, 5175, 5370}},      {window->kai_input_key, {120, 240, 1455, 495}},
        {window->uri_sl_key, {1680, 240, 1455, 495}},    {window->infor_fig, {120, 1320, 2535, 855}},
        {window->anal_fig, {120, 2640, 2535, 1095}},     {window->bep_fig, {120, 3720, 2535, 300}},
        {window->value_fig, {120, 4080, 2535, 1320}},    {window->sample_fig_1, {120, 240, 1695, 2295}},
        {window->sample_fig_2, {120, 2520, 1695, 1215}},
    };
    window->show();
    QCoreApplication::processEvents();
    for (const auto& c : controls) {
        const QRect at = c.widget->geometry();
        const QRect design(c.design.x() / 15, c.design.y() / 15, c.design.width() / 15, c.design.height() / 15);
        SCOPED_TRACE(qPrintable(c.widget->objectName()));
        EXPECT_NEAR(at.x(), design.x(), 3);
        EXPECT_NEAR(at.y(), design.y(), 3);
        EXPECT_NEAR(at.width(), design.width(), 3);
        EXPECT_NEAR(at.height(), design.height(), 3);
    }
}

}  // namespace
}  // namespace chomaru
