#pragma once
// The history of one drive: its remaining life, temperature and the data
// written over time as charts, and a table of its alert events, over the
// last week, month, year or everything. A frameless dialog in the window's
// style, opened from the SMART page. The database is read on a pooled
// thread; the dialog shows "正在读取…" until the data is there.

#include "history/HealthStore.h"

#include <QDialog>

class HistoryChart;
class QButtonGroup;
class QLabel;
class QTableWidget;

class HealthHistoryView : public QDialog {
    Q_OBJECT
public:
    enum Range { Week, Month, Year, Everything };

    // `diskLabel`: how the window names the drive ("物理磁盘8  QX M7A0 120G").
    HealthHistoryView(const history::DriveKey& drive, const QString& diskLabel, QWidget* parent = nullptr,
                      Range range = Month);

    Range range() const { return range_; }
    void setRange(Range range);
    // The data of the range shown is in the charts and the table.
    bool isLoaded() const { return loaded_; }
    QString noteText() const;
    int eventCount() const;
    HistoryChart* chart(int index) const { return charts_[index]; }

signals:
    void loaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct Data;
    void load();
    void showData(const Data& data);

    history::DriveKey drive_;
    Range range_ = Month;
    bool loaded_ = false;
    int generation_ = 0;  // of the last load asked for
    QButtonGroup* ranges_ = nullptr;
    HistoryChart* charts_[3] = {};
    QTableWidget* events_ = nullptr;
    QLabel* note_ = nullptr;
    QPoint dragFrom_;
};
