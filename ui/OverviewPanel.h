#pragma once

#include <QWidget>

class QLabel;
class QTableWidget;

class QChartView;
class QPieSeries;

namespace vandorix {

class Application;
struct Overview;

// The investor's overview below the main window's menu: one row per product with its holding,
// price, value and results, the cash account, the totals and a pie of the allocation. It is
// read from the stored workbooks each time `reload` runs; an installation without products
// shows the first steps instead.
class OverviewPanel : public QWidget {
    Q_OBJECT
  public:
    explicit OverviewPanel(Application &app, QWidget *parent = nullptr);

    void reload();

    QTableWidget *table() const { return table_; }
    QLabel *cashLine() const { return cash_; }
    QLabel *totalsLine() const { return totals_; }
    QLabel *hint() const { return hint_; }
    QPieSeries *allocation() const { return pie_; }

  private:
    void display(const Overview &overview);
    void showProblem(const QString &text);
    QTableWidget *makeTable();
    // Sets `pie_`.
    QChartView *makeChart();

    Application &app_;
    QTableWidget *table_ = nullptr;
    QLabel *cash_ = nullptr;
    QLabel *totals_ = nullptr;
    QLabel *hint_ = nullptr;
    QChartView *chart_ = nullptr;
    QPieSeries *pie_ = nullptr;
};

} // namespace vandorix
