#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "document/undo_history.h"
#include "store/portfolio.h"
#include "ui/platform.h"
#include "ui/session.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace chomaru {

class FlexGrid;

// The main window: the selected stock's information and analysis with the
// stock selector on the left, the price table relative to the average buy
// unit price in the middle, the buy and sell records on two tabs on the
// right, six buttons on top and the menu bar. Commands live beside their
// subsystem and work on the window's session; after each one the window
// redraws the views the command changed. The window is built without data:
// it shows and changes a document only once one is attached, so nothing
// built before the data file has been read can reach the data.
class StockMain : public QMainWindow {
    Q_OBJECT
public:
    explicit StockMain(Platform& platform);
    ~StockMain() override;

    // From now on the window shows `document` and its commands change it.
    void attach(Document& document);

    Session& session() { return *session_; }
    Document& document() { return session_->document; }
    const Portfolio& portfolio() const { return session_->portfolio; }
    Platform& platform() { return platform_; }
    const Stock& stock() const { return session_->stock(); }

    // Grid layout, once at start-up.
    void setup_info_grid();
    void setup_analysis_grid();
    void setup_ratio_grids();
    void setup_buy_grid();
    void setup_sell_grid();
    void setup_payment_grid();

    // Redraws the views from the portfolio, in the order of the View flags.
    void redraw(Views views);
    void show_stock_info();
    void show_analysis();
    void show_ratio_table();
    void clear_trade_grids();
    void show_buy_records();
    void show_sell_records();
    void fill_stock_combo();
    void show_split_tab();

    // Imports the files given to the program, one after the other, each
    // through its preview.
    void import_files(const std::vector<std::filesystem::path>& files);

    // The shutdown decides whether the window may close; set by the start-up.
    void set_close_handler(std::function<bool()> handler) { close_handler_ = std::move(handler); }

    // Controls, named as the program's design names them.
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QGroupBox* Frame4;
    QPushButton* kai_input_key;
    QPushButton* uri_input_key;
    QPushButton* kai_sl_key;
    QPushButton* uri_sl_key;
    QPushButton* new_name_key;
    QPushButton* all_list_key;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QComboBox* Combo1;
    FlexGrid* infor_fig;
    FlexGrid* anal_fig;
    // The break-even unit price, one row under the analysis grid.
    FlexGrid* bep_fig;
    FlexGrid* sample_fig_1;
    FlexGrid* sample_fig_2;
    QTabWidget* SSTab1;
    FlexGrid* buy_fig;
    FlexGrid* sell_fig;
    // The quoted price and what the holding is worth, under the break-even
    // row; the splits and consolidations, on a tab beside the records, shown
    // while the stock has any.
    FlexGrid* value_fig;
    FlexGrid* split_fig;
    // The dividends received, on the third tab.
    FlexGrid* pay_fig;

    QAction* m_import;
    QAction* m_price_import;
    QAction* m_sort;
    QAction* m_csvf;
    QAction* m_tax_file;
    QAction* m_kabusen;
    QAction* suspend;
    QAction* m_undo;
    QAction* m_redo;
    QAction* change_code;
    QAction* change_name;
    QAction* change_haitou;
    QAction* m_account;
    QAction* m_price;
    QAction* m_split;
    QAction* record_payment;
    QAction* del_kai_fig;
    QAction* del_sel_fig;
    QAction* del_payment;
    QAction* del_all_data;
    QAction* del_split;
    QAction* m_year_report;
    QAction* m_chart;
    QAction* m_nisa;
    QAction* expla;
    QAction* version_key;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void build_entry_views(QWidget* client);
    void build_menus();
    void connect_commands();
    // Runs a command on the attached document, then redraws what it changed.
    void run_command(const std::function<void(Session&)>& command);
    void undo_step(bool forward);
    void show_undo_state();
    void show_record_row(FlexGrid* grid, const TradeRecord& record, int k);
    // Brings record row `count` into view with its tab in front.
    void show_new_record(FlexGrid* grid, int count);
    void show_records(FlexGrid* grid, const RecordTable& records, int count);
    void setup_record_grid(FlexGrid* grid);
    void show_break_even();
    void show_break_even_line(int32_t price);
    void remove_break_even_line();
    void mark_current_price_row();

    Platform& platform_;
    std::unique_ptr<Session> session_;

    std::function<bool()> close_handler_;
};

}  // namespace chomaru
