#include "views/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "accounting/commission.h"
#include "reports/chart_window.h"
#include "reports/list_window.h"
#include "reports/nisa_window.h"
#include "reports/report_commands.h"
#include "reports/simulation_window.h"
#include "reports/year_window.h"
#include "store/regional_text.h"
#include "trades/dividend_payments.h"
#include "trades/record_deletion.h"
#include "trades/record_editing.h"
#include "trades/trade_entry.h"
#include "ui/flex_grid.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/window_places.h"
#include "views/commission_dialog.h"
#include "views/entry_commands.h"
#include "views/entry_views.h"
#include "views/import_commands.h"
#include "views/sort_dialog.h"
#include "views/stock_commands.h"

namespace chomaru {

namespace {

// A command button at least as large as its design, larger when its caption
// needs it.
QPushButton* command_button(QWidget* parent, const char* name, const QString& caption, int width) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFont(program_font(9.75));
    b->setMinimumSize(twips(b, width), twips(b, 495));
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return b;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption) {
    auto* f = new TitledFrame(caption, parent);
    f->setObjectName(QString::fromLatin1(name));
    return f;
}

// The layout of a frame's controls, at the design's distances from the
// frame's edges, or below the title when it needs more room.
QBoxLayout* frame_box(QGroupBox* f, QBoxLayout::Direction direction, int left, int top, int right, int bottom,
                      int spacing = 0) {
    QBoxLayout* box = twips_box(direction, f, f, left, top, right, bottom, spacing);
    const QMargins design = box->contentsMargins();
    const QMargins frame = f->contentsMargins();
    box->setContentsMargins(std::max(design.left() - frame.left(), 0), std::max(design.top() - frame.top(), 0),
                            std::max(design.right() - frame.right(), 0), std::max(design.bottom() - frame.bottom(), 0));
    return box;
}

// A grid of the given shape; its size is set where it is laid out.
FlexGrid* grid(QWidget* parent, const char* name, int rows, int cols, int fixed_rows, int fixed_cols, double points) {
    auto* g = new FlexGrid(0, cols, fixed_rows, fixed_cols, parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setFont(figure_font(points));
    // Rows as tall as the font needs, so the small grids show every row.
    g->set_default_row_height(points < 9.5 ? 225 : 255);
    g->set_rows(rows);
    return g;
}

// A grid of figures that keeps its design size (or what its cells need)
// when the window grows.
FlexGrid* figure_grid(QWidget* parent, const char* name, int rows, double points, int width, int height) {
    FlexGrid* g = grid(parent, name, rows, 2, 0, 1, points);
    g->keep_size(width, height);
    return g;
}

// A heading over a grid of the stock frame, where the design puts its text.
QLabel* heading(QWidget* parent, const char* name, const QString& caption, int indent) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setIndent(twips(l, indent));
    l->setMinimumHeight(twips(l, 240));
    return l;
}

// The window's client area: never smaller than its design, nor than its
// layout needs (a larger font, a style with wider frames).
class ClientArea : public QWidget {
public:
    using QWidget::QWidget;
    QSize minimumSizeHint() const override { return design_size.expandedTo(QWidget::minimumSizeHint()); }

    QSize design_size;
};

// Multipliers of the price table rows +90% .. +10% and -10% .. -50%: each is
// the double nearest to the decimal, not computed from the percentage.
constexpr double upper_multipliers[] = {1.9, 1.8, 1.7, 1.6, 1.5, 1.4, 1.3, 1.2, 1.1};
constexpr double lower_multipliers[] = {0.9, 0.8, 0.7, 0.6, 0.5};

constexpr int laid_out_rows = 15;

// 540 twips are a little narrow for "+100%" in the gothic font: the label
// column of a price table grid takes what its widest label needs, with the
// cell's padding and grid line, from the price column beside it.
void fit_label_column(FlexGrid* g, const QString& label) {
    const QFontMetrics metrics = g->fontMetrics();
    const int needed = std::max(metrics.horizontalAdvance(label), metrics.horizontalAdvance(QStringLiteral("+100%")));
    const int label_width = std::max(twips(g, 540), needed + twips(g, 120));
    g->setColumnWidth(1, twips(g, 540) + twips(g, 1060) - label_width);
    g->setColumnWidth(0, label_width);
}

// The window is this much taller than its original design, for the row of
// the break-even price under the analysis grid and its line in the price
// table; the frames and the record tabs grow with it.
constexpr int break_even_room = 255;
// The room of the quoted price's five rows under the break-even row.
constexpr int value_room = 1380;
constexpr int split_tab = 3;

}  // namespace

StockMain::StockMain(Platform& platform) : platform_(platform) {
    setObjectName(QStringLiteral("stock_main"));
    setWindowTitle(QStringLiteral("帳丸"));
    build_controls();
    build_menus();
    connect_commands();
    // The window opens at its design size and is never made smaller; it
    // grows where the user makes it larger. Its layout keeps the least size,
    // so a font the desktop sets after the start enlarges it.
    resize(minimumSizeHint());
    restore_main_window(*this, *SSTab1, platform_);
    lay_out_now(*this);
}

StockMain::~StockMain() = default;

void StockMain::attach(Document& document) {
    session_ = std::make_unique<Session>(document, platform_, this);
    show_undo_state();
}

// Laid out so that at its default size every control stands where the
// design in twips puts it: the record and simulation frames and the two
// buttons in the top row, below them the stock frame, the price table and
// the record tabs. The figure grids keep their size; the record tabs take
// whatever room the window gains.
void StockMain::build_controls() {
    auto* client = new ClientArea(this);
    setCentralWidget(client);
    client->design_size = QSize(twips(this, 10350), twips(this, 5010 + break_even_room));
    const auto box = [this](QBoxLayout::Direction direction, QWidget* parent, int left, int top, int right, int bottom,
                            int spacing = 0) {
        return twips_box(direction, this, parent, left, top, right, bottom, spacing);
    };
    QBoxLayout* rows = box(QBoxLayout::TopToBottom, client, 120, 120, 135, 75, 105);

    QBoxLayout* top = box(QBoxLayout::LeftToRight, nullptr, 0, 0, 0, 0, 105);
    rows->addLayout(top);
    Frame3 = frame(client, "Frame3", QStringLiteral("記録する"));
    kai_input_key = command_button(Frame3, "kai_input_key", QStringLiteral("買い(&K)"), 1455);
    uri_input_key = command_button(Frame3, "uri_input_key", QStringLiteral("売り(&U)"), 1455);
    Frame4 = frame(client, "Frame4", QStringLiteral("売買シミュレーション"));
    kai_sl_key = command_button(Frame4, "kai_sl_key", QStringLiteral("買い(&G)"), 1455);
    uri_sl_key = command_button(Frame4, "uri_sl_key", QStringLiteral("売り(&R)"), 1455);
    for (QGroupBox* f : {Frame3, Frame4}) {
        QBoxLayout* buttons = frame_box(f, QBoxLayout::LeftToRight, 120, 240, 120, 120, 105);
        for (QPushButton* b : f->findChildren<QPushButton*>()) buttons->addWidget(b);
        top->addWidget(f);
    }
    top->addStretch(1);
    // The two buttons stand level with those of the frames.
    QBoxLayout* stock_buttons = box(QBoxLayout::LeftToRight, nullptr, 0, 240, 0, 0, 105);
    new_name_key = command_button(client, "new_name_key", QStringLiteral("新銘柄(&N)"), 1575);
    all_list_key = command_button(client, "all_list_key", QStringLiteral("一覧表(&I)"), 1575);
    stock_buttons->addWidget(new_name_key, 0, Qt::AlignTop);
    stock_buttons->addWidget(all_list_key, 0, Qt::AlignTop);
    top->addLayout(stock_buttons);

    QBoxLayout* views = box(QBoxLayout::LeftToRight, nullptr, 0, 0, 0, 0, 105);
    rows->addLayout(views, 1);

    // The stock frame: the selector, then each grid of the stock under its
    // heading, one under the other.
    Frame1 = frame(client, "Frame1", QStringLiteral("銘柄"));
    QBoxLayout* stock = frame_box(Frame1, QBoxLayout::TopToBottom, 120, 240, 120, 75);
    Label1 = heading(Frame1, "Label1", QStringLiteral("銘柄を選択する"), 120);
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumHeight(twips(this, 360));
    Label2 = heading(Frame1, "Label2", QStringLiteral("銘柄情報"), 840);
    infor_fig = figure_grid(Frame1, "infor_fig", 3, 9.75, 2535, 855);
    Label3 = heading(Frame1, "Label3", QStringLiteral("銘柄分析"), 840);
    anal_fig = figure_grid(Frame1, "anal_fig", 4, 9.75, 2535, 1095);
    bep_fig = figure_grid(Frame1, "bep_fig", 1, 9.75, 2535, 300);
    stock->addWidget(Label1);
    stock->addWidget(Combo1);
    stock->addSpacing(twips(this, 240));
    stock->addWidget(Label2);
    stock->addWidget(infor_fig);
    stock->addSpacing(twips(this, 225));
    stock->addWidget(Label3);
    stock->addWidget(anal_fig);
    stock->addWidget(bep_fig);
    stock->addStretch(1);
    views->addWidget(Frame1);

    Frame2 = frame(client, "Frame2", QStringLiteral("買い単価比株価"));
    QBoxLayout* ratios = frame_box(Frame2, QBoxLayout::TopToBottom, 120, 240, 120, 75);
    sample_fig_1 = figure_grid(Frame2, "sample_fig_1", 10, 9, 1695, 2295);
    sample_fig_2 = figure_grid(Frame2, "sample_fig_2", 5, 9, 1695, 1215);
    ratios->addWidget(sample_fig_1);
    ratios->addWidget(sample_fig_2);
    ratios->addStretch(1);
    views->addWidget(Frame2);

    // The record tabs, a little below the frames' top edge; each page holds
    // its grid, which takes the whole page.
    QBoxLayout* records = box(QBoxLayout::TopToBottom, nullptr, 0, 120, 0, 0);
    views->addLayout(records, 1);
    SSTab1 = new QTabWidget(client);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setFont(program_font(9));
    records->addWidget(SSTab1);
    const auto record_page = [&](const char* name, const QString& caption) {
        auto* page = new QWidget();
        SSTab1->addTab(page, caption);
        FlexGrid* g = grid(page, name, laid_out_rows, 5, 1, 1, 9);
        g->fill_width();
        g->take_keyboard();
        box(QBoxLayout::TopToBottom, page, 60, 45, 60, 30)->addWidget(g);
        return g;
    };
    buy_fig = record_page("buy_fig", QStringLiteral("買い記録"));
    sell_fig = record_page("sell_fig", QStringLiteral("売り記録"));
    pay_fig = record_page("pay_fig", QStringLiteral("配当"));
    SSTab1->setCurrentIndex(0);
    infor_fig->take_keyboard();
    Combo1->setToolTip(QStringLiteral("Ctrl+L"));
    // The Tab key goes through the buttons, the selector, the information
    // grid and the record tabs with their grid, in reading order (from the
    // tabs themselves: the tab widget hands its place to them).
    QWidget* const order[] = {kai_input_key, uri_input_key, kai_sl_key,       uri_sl_key, new_name_key, all_list_key,
                              Combo1,        infor_fig,     SSTab1->tabBar(), buy_fig,    sell_fig,     pay_fig};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    kai_input_key->setFocus();
    build_entry_views(client);
}

// The quoted price's five rows go under the break-even row, and the window
// is that much taller by default; the tab of the splits has a grid like the
// record grids'.
void StockMain::build_entry_views(QWidget* client) {
    static_cast<ClientArea*>(client)->design_size += QSize(0, twips(this, value_room));
    value_fig = figure_grid(Frame1, "value_fig", 5, 9.75, 2535, 1320);
    setup_value_grid(value_fig);
    auto* stock = static_cast<QBoxLayout*>(Frame1->layout());
    const int below_break_even = stock->indexOf(bep_fig) + 1;
    stock->insertWidget(below_break_even, value_fig);
    stock->insertSpacing(below_break_even, twips(this, 60));
    auto* split_page = new QWidget();
    SSTab1->addTab(split_page, QStringLiteral("分割・併合"));
    split_fig = grid(split_page, "split_fig", 1, 3, 1, 1, 9);
    split_fig->fill_width();
    twips_box(QBoxLayout::TopToBottom, this, split_page, 60, 45, 60, 30)->addWidget(split_fig);
    setup_split_grid(split_fig);
    SSTab1->setTabVisible(split_tab, false);
}

void StockMain::build_menus() {
    // An item of a menu: the member that holds its action, its object name,
    // its caption and the command it runs.
    struct Item {
        QAction* StockMain::*action;
        const char* name;
        const char* caption;
        void (*command)(Session&);
    };
    auto new_menu = [this](const char* name, const char* caption) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto add = [this](QMenu* menu, std::initializer_list<Item> items) {
        for (const Item& item : items) {
            QAction* action = menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QString::fromLatin1(item.name));
            this->*item.action = action;
            if (item.command)
                connect(action, &QAction::triggered, this, [this, command = item.command] { run_command(command); });
        }
    };
    QMenu* file = new_menu("file", "ファイル(&F)");
    add(file,
        {
            {&StockMain::m_import, "m_import", "取引履歴の取り込み(&I)…", m_import_click},
            {&StockMain::m_price_import, "m_price_import", "保有一覧から現在値を取り込む(&H)…", m_price_import_click},
        });
    file->addSeparator();
    add(file, {
                  {&StockMain::m_sort, "m_sort", "並べ替え(&Y)", m_sort_click},
                  {&StockMain::m_csvf, "m_csvf", "CSVファイルの出力(&O)", m_csvf_click},
                  {&StockMain::m_tax_file, "m_tax_file", "申告ファイルの作成(&T)", m_tax_file_click},
                  {&StockMain::m_kabusen, "m_kabusen", "手数料設定(&J)", m_kabusen_click},
                  {&StockMain::suspend, "suspend", "終了(&E)", nullptr},
              });

    // Undo, redo and quitting are connected with the other commands of the
    // window; show_undo_state gives undo and redo their captions.
    QMenu* modify = new_menu("modify", "変更(&C)");
    add(modify, {
                    {&StockMain::m_undo, "m_undo", nullptr, nullptr},
                    {&StockMain::m_redo, "m_redo", nullptr, nullptr},
                });
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    modify->addSeparator();
    show_undo_state();
    add(modify, {
                    {&StockMain::change_code, "change_code", "コードの変更(&B)", change_code_click},
                    {&StockMain::change_name, "change_name", "銘柄名の変更(&O)", change_name_click},
                    {&StockMain::change_haitou, "change_haitou", "配当の変更(&P)", change_haitou_click},
                    {&StockMain::m_account, "m_account", "口座区分(&A)…", m_account_click},
                    {&StockMain::m_price, "m_price", "現在値(&G)…", m_price_click},
                    {&StockMain::m_split, "m_split", "株式分割・併合(&S)…", m_split_click},
                    {&StockMain::record_payment, "record_payment", "配当金の記録(&V)…", record_payment_click},
                });

    add(new_menu("menu_delete", "削除(&D)"),
        {
            {&StockMain::del_kai_fig, "del_kai_fig", "買い記録の１行削除(&W)", del_kai_fig_click},
            {&StockMain::del_sel_fig, "del_sel_fig", "売り記録の１行削除(&X)", del_sel_fig_click},
            {&StockMain::del_split, "del_split", "分割・併合の１行削除(&S)", del_split_click},
            {&StockMain::del_payment, "del_payment", "配当金の１行削除(&V)", del_payment_click},
            {&StockMain::del_all_data, "del_all_data", "全記録の削除(&A)", del_all_data_click},
        });
    add(new_menu("analysis", "分析(&S)"),
        {
            {&StockMain::m_year_report, "m_year_report", "年間損益(&N)", m_year_report_click},
            {&StockMain::m_chart, "m_chart", "推移グラフ(&G)", m_chart_click},
            {&StockMain::m_nisa, "m_nisa", "NISA投資枠(&A)", m_nisa_click},
        });
    add(new_menu("menu_help", "ヘルプ(&H)"),
        {
            {&StockMain::expla, "expla", "動作説明(&M)", expla_click},
            {&StockMain::version_key, "version_key", "バージョン情報(&V)", version_key_click},
        });
}

void StockMain::connect_commands() {
    auto on_click = [this](QPushButton* b, void (*command)(Session&)) {
        connect(b, &QPushButton::clicked, this, [this, command] { run_command(command); });
    };
    auto on_double_click = [this](FlexGrid* g, void (*command)(Session&, int, int)) {
        connect(g, &FlexGrid::double_clicked, this, [this, command](int row, int col) {
            run_command([command, row, col](Session& s) { command(s, row, col); });
        });
    };
    connect(m_undo, &QAction::triggered, this, [this] { undo_step(false); });
    connect(m_redo, &QAction::triggered, this, [this] { undo_step(true); });
    connect(suspend, &QAction::triggered, this, &QWidget::close);
    on_click(kai_input_key, kai_input_key_click);
    on_click(uri_input_key, uri_input_key_click);
    on_click(kai_sl_key, kai_sl_key_click);
    on_click(uri_sl_key, uri_sl_key_click);
    on_click(new_name_key, new_name_key_click);
    on_click(all_list_key, all_list_key_click);
    connect(Combo1, &QComboBox::activated, this,
            [this](int index) { run_command([index](Session& s) { combo1_click(s, index); }); });
    on_double_click(infor_fig, infor_fig_dbl_click);
    on_double_click(buy_fig, buy_fig_dbl_click);
    on_double_click(sell_fig, sell_fig_dbl_click);
    const auto on_delete_key = [this](FlexGrid* g, void (*command)(Session&, int)) {
        connect(g, &FlexGrid::delete_pressed, this,
                [this, command](int row) { run_command([command, row](Session& s) { command(s, row); }); });
    };
    on_delete_key(buy_fig, buy_fig_delete_key);
    on_delete_key(sell_fig, sell_fig_delete_key);
    on_delete_key(pay_fig, pay_fig_delete_key);
    // Ctrl+L goes to the stock selector, as it goes to a browser's address.
    auto* to_selector = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(to_selector, &QShortcut::activated, this, [this] { Combo1->setFocus(Qt::ShortcutFocusReason); });
    on_double_click(pay_fig, pay_fig_dbl_click);
}

// Whatever the command changed is redrawn; open charts follow the selected
// stock.
void StockMain::run_command(const std::function<void(Session&)>& command) {
    if (!session_) return;
    command(*session_);
    show_undo_state();
    redraw(session_->take_changes());
    for (auto* chart : findChildren<ChartWindow*>(QString(), Qt::FindDirectChildrenOnly)) chart->show_stock(stock());
}

void StockMain::import_files(const std::vector<std::filesystem::path>& files) {
    for (const std::filesystem::path& file : files) run_command([&file](Session& s) { import_file(s, file); });
}

// Undo and redo put the data back as a whole and redraw every view, as
// after any command; the recovery file follows.
void StockMain::undo_step(bool forward) {
    run_command([forward](Session& s) { forward ? s.document.redo() : s.document.undo(); });
}

void StockMain::show_undo_state() {
    const auto caption = [](const char* action, const std::string& step) {
        return step.empty() ? QString::fromUtf8(action)
                            : QString::fromUtf8(action) + QStringLiteral(": ") + qt_text(step);
    };
    const std::string none;
    const Document* document = session_ ? &session_->document : nullptr;
    m_undo->setText(caption("元に戻す(&Z)", document ? document->undo_name() : none));
    m_undo->setEnabled(document && document->can_undo());
    m_redo->setText(caption("やり直し(&R)", document ? document->redo_name() : none));
    m_redo->setEnabled(document && document->can_redo());
}

void StockMain::redraw(Views views) {
    if (views & View::stock_info) show_stock_info();
    if (views & View::analysis) show_analysis();
    if (views & View::trade_grids) clear_trade_grids();
    if (views & View::buy_records) show_buy_records();
    if (views & View::sell_records) show_sell_records();
    if (views & View::new_buy_record) show_new_record(buy_fig, stock().buy_count);
    if (views & View::new_sell_record) show_new_record(sell_fig, stock().sell_count);
    if (views & View::ratio_table) show_ratio_table();
    if (views & View::selector) fill_stock_combo();
    if (views & View::splits) show_split_tab();
    if (views & View::payments) show_payments(*pay_fig, stock(), laid_out_rows);
    if (views & View::new_payment) SSTab1->setCurrentWidget(pay_fig->parentWidget());
}

void StockMain::closeEvent(QCloseEvent* event) {
    if (close_handler_ && !close_handler_()) {
        event->ignore();
        return;
    }
    keep_main_window(*this, *SSTab1, platform_);
    event->accept();
}

void StockMain::setup_info_grid() {
    const QString labels[] = {QStringLiteral("コード"), QStringLiteral("銘柄"), QStringLiteral("配当")};
    for (int r = 0; r < 3; ++r) infor_fig->set_text(r, 0, labels[r]);
    infor_fig->set_col_width(0, 800);
    infor_fig->set_col_width(1, 1660);
    infor_fig->set_col_alignment(0, align_centre);
    infor_fig->set_col_alignment(1, align_centre);
}

void StockMain::setup_analysis_grid() {
    const QString labels[] = {QStringLiteral("保有株数"), QStringLiteral("平均買い単価"), QStringLiteral("利益"),
                              QStringLiteral("配当利回り")};
    for (int r = 0; r < 4; ++r) anal_fig->set_text(r, 0, labels[r]);
    bep_fig->set_text(0, 0, QStringLiteral("損益分岐単価"));
    for (FlexGrid* g : {anal_fig, bep_fig}) {
        g->set_col_width(0, 1230);
        g->set_col_width(1, 1230);
        g->set_col_alignment(0, align_centre);
        g->set_col_alignment(1, align_right);
    }
}

void StockMain::setup_ratio_grids() {
    for (int r = 0; r < 10; ++r) sample_fig_1->set_text(r, 0, QStringLiteral("+%1%").arg(100 - 10 * r));
    for (int r = 0; r < 5; ++r) sample_fig_2->set_text(r, 0, QStringLiteral("-%1%").arg(10 + 10 * r));
    for (FlexGrid* g : {sample_fig_1, sample_fig_2}) {
        g->set_col_alignment(1, align_right);
        fit_label_column(g, QStringLiteral("+100%"));
    }
}

void StockMain::setup_record_grid(FlexGrid* g) {
    const QString headings[] = {QString(), QStringLiteral("日付"), QStringLiteral("単価"), QStringLiteral("株数"),
                                QStringLiteral("代金")};
    for (int c = 1; c < 5; ++c) g->set_text(0, c, headings[c]);
    g->number_rows(laid_out_rows);
    const int widths[] = {400, 1100, 1100, 900, 1100};
    for (int c = 0; c < 5; ++c) g->set_col_width(c, widths[c]);
    for (int c = 0; c < 5; ++c) g->set_cell_alignment(0, c, align_centre);
    g->set_col_alignment(1, align_centre);
    for (int c = 2; c < 5; ++c) g->set_col_alignment(c, align_right);
}

void StockMain::setup_buy_grid() { setup_record_grid(buy_fig); }
void StockMain::setup_sell_grid() { setup_record_grid(sell_fig); }
void StockMain::setup_payment_grid() {
    chomaru::setup_payment_grid(*pay_fig);
    pay_fig->number_rows(laid_out_rows);
}

void StockMain::show_stock_info() {
    const Stock& s = stock();
    infor_fig->set_text(0, 1, qt_text(s.stock_code));
    infor_fig->set_text(1, 1, qt_text(s.stock_name));
    infor_fig->set_text(2, 1, qt_text(int_text(s.dividend)));
}

void StockMain::show_analysis() {
    const Stock& s = stock();
    anal_fig->set_text(0, 1, qt_text(format_grouped(s.held_shares)));
    anal_fig->set_text(1, 1, qt_text(format_currency(Currency::from_yen(s.avg_buy_price))));
    anal_fig->set_text(2, 1, qt_text(format_currency(s.realized_profit)));
    anal_fig->set_text(3, 1, qt_text(format_percent(double(s.dividend_yield))));
    show_break_even();
    show_valuation(value_fig, s, platform_.today());
}

void StockMain::show_break_even() {
    const Stock& s = stock();
    const std::optional<int32_t> price = break_even_price(portfolio().fees, s.avg_buy_price, s.held_shares);
    bep_fig->set_text(0, 1, price ? qt_text(format_currency(Currency::from_yen(*price))) : QStringLiteral("—"));
    remove_break_even_line();
    if (price) show_break_even_line(*price);
    // Laid out at once, also while the window is hidden.
    Frame2->layout()->activate();
}

// The line is the last row of the grid it belongs to and is shown at its
// place among the rows above it, so the table's own rows keep their numbers.
void StockMain::show_break_even_line(int32_t price) {
    const int32_t avg = stock().avg_buy_price;
    int above = 0;  // the rows whose price is at least the break-even price
    auto count = [&](double multiplier) { above += double(avg) * multiplier >= double(price) ? 1 : 0; };
    count(2.0);
    for (double m : upper_multipliers) count(m);
    for (double m : lower_multipliers) count(m);
    // Between +10% and -10% the line heads the lower grid, which has room
    // for it; above +10% the upper grid grows and pushes the lower one down.
    const bool upper = above < 10;
    FlexGrid* g = upper ? sample_fig_1 : sample_fig_2;
    const int row = g->rows();
    g->set_rows(row + 1);
    g->verticalHeader()->moveSection(row, upper ? above : above - 10);

    const QString label = avg > 0
                              ? QStringLiteral("%1%2").arg(price >= avg ? "+" : "",
                                                           qt_text(format_percent((double(price) - double(avg)) / avg)))
                              : QStringLiteral("—");
    g->set_text(row, 0, label);
    g->set_text(row, 1, qt_text(format_currency(Currency::from_yen(price))));
    for (int c = 0; c < 2; ++c) {
        // Dark text on the light mark, whatever the palette's text colour.
        g->item(row, c)->setBackground(QColor(255, 240, 160));
        g->item(row, c)->setForeground(QColor(Qt::black));
        g->item(row, c)->setToolTip(QStringLiteral("損益分岐単価"));
    }
    // The grid grows by the row, and the frame's layout moves what is under it.
    for (FlexGrid* each : {sample_fig_1, sample_fig_2}) fit_label_column(each, label);
}

void StockMain::remove_break_even_line() {
    FlexGrid* const grids[] = {sample_fig_1, sample_fig_2};
    const int rows[] = {10, 5};
    for (int i = 0; i < 2; ++i) {
        FlexGrid* g = grids[i];
        g->set_rows(rows[i]);
        fit_label_column(g, QStringLiteral("+100%"));
    }
}

void StockMain::show_ratio_table() {
    const int32_t p = stock().avg_buy_price;
    const Currency price = Currency::from_yen(p);
    sample_fig_1->set_text(0, 1, qt_text(format_currency(price + price)));
    for (int r = 1; r < 10; ++r)
        sample_fig_1->set_text(r, 1, qt_text(format_currency(double(p) * upper_multipliers[r - 1])));
    for (int r = 0; r < 5; ++r)
        sample_fig_2->set_text(r, 1, qt_text(format_currency(double(p) * lower_multipliers[r])));
    mark_current_price_row();
}

// The row of the table whose price is nearest the quoted price is marked,
// the higher one of two as near.
void StockMain::mark_current_price_row() {
    struct Row {
        FlexGrid* grid;
        int row;
        double multiplier;
    };
    std::vector<Row> rows{{sample_fig_1, 0, 2.0}};
    for (int r = 1; r < 10; ++r) rows.push_back({sample_fig_1, r, upper_multipliers[r - 1]});
    for (int r = 0; r < 5; ++r) rows.push_back({sample_fig_2, r, lower_multipliers[r]});
    const double average = stock().avg_buy_price;
    std::optional<size_t> nearest;
    if (const std::optional<QuotedPrice>& quoted = stock().price; quoted && average > 0) {
        const auto distance = [&](size_t i) {
            return std::abs(average * rows[i].multiplier - quoted->price.to_double());
        };
        nearest = 0;
        for (size_t i = 1; i < rows.size(); ++i)
            if (distance(i) < distance(*nearest)) nearest = i;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool marked = nearest == i;
        for (int c = 0; c < 2; ++c) {
            QTableWidgetItem* item = rows[i].grid->item(rows[i].row, c);
            item->setBackground(marked   ? QBrush(QColor(200, 225, 255))
                                : c == 0 ? rows[i].grid->palette().button()
                                         : QBrush());
            item->setForeground(marked ? QBrush(Qt::black) : QBrush());
            item->setToolTip(marked ? QStringLiteral("現在値に最も近い行") : QString());
        }
    }
}

void StockMain::clear_trade_grids() {
    for (FlexGrid* g : {buy_fig, sell_fig}) {
        g->set_rows(laid_out_rows);
        for (int n = 1; n < g->rows(); ++n)
            for (int c = 1; c < 5; ++c) g->set_text(n, c, QString());
        g->scrollToTop();
    }
}

void StockMain::show_record_row(FlexGrid* g, const TradeRecord& record, int k) {
    if (g->rows() < k + 2) g->set_rows(k + 2);
    g->set_text(k + 1, 1, qt_text(record.date));
    g->set_text(k + 1, 2, qt_text(format_currency(Currency::from_yen(record.price))));
    g->set_text(k + 1, 3, qt_text(format_grouped(record.shares)));
    g->set_text(k + 1, 4, qt_text(format_currency(record.amount)));
}

void StockMain::show_records(FlexGrid* g, const RecordTable& records, int count) {
    // The rows grow one by one as records are written; growing them at once
    // first gives the same grid with one resize instead of hundreds.
    if (count + 1 > g->rows()) g->set_rows(count + 1);
    for (int k = 0; k < count; ++k) show_record_row(g, records[size_t(k)], k);
    g->scrollToTop();
}

void StockMain::show_buy_records() { show_records(buy_fig, stock().buys, stock().buy_count); }
void StockMain::show_sell_records() { show_records(sell_fig, stock().sells, stock().sell_count); }

void StockMain::show_new_record(FlexGrid* g, int count) {
    if (count < 1) return;
    SSTab1->setCurrentWidget(g->parentWidget());
    g->scroll_to_row(count);
}

void StockMain::show_split_tab() {
    show_splits(split_fig, stock());
    const bool shown = !stock().splits.empty();
    if (!shown && SSTab1->currentIndex() == split_tab) SSTab1->setCurrentIndex(0);
    SSTab1->setTabVisible(split_tab, shown);
}

void StockMain::fill_stock_combo() {
    Combo1->clear();
    const Portfolio& shown = portfolio();
    for (int i = 0; i <= shown.last_stock; ++i) Combo1->addItem(qt_text(shown_name(shown.stocks[size_t(i)])));
    Combo1->setCurrentIndex(shown.current_stock);
}

}  // namespace chomaru
