#pragma once

#include <QRect>
#include <QString>
#include <QVector>
#include <QWidget>

// The partitions of one disk as a grid of entries, each an icon, the caption
// 分区(name), free and total space in GB and a usage bar that turns red at
// 90 % full. A page holds `rows` rows of `columns` entries; when the list is
// longer, arrows at the top and bottom centre scroll it by one row.
class DiskWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DiskWidget(QWidget *parent = nullptr);

    // Refused (false, nothing changes) when used > total or no file exists at
    // the icon path. Sizes in GB.
    bool addItem(const QString &iconPath, const QString &name, float used, float total);
    // Empties the list and returns to the top with the arrows off.
    void clear();
    void setColumns(int columns);
    void setFontSize(int points);

    int itemCount() const;
    QString itemName(int index) const;
    int firstIndex() const;
    bool isPaging() const;
    int columns() const { return m_columns; }
    int fontSize() const { return m_fontSize; }
    // Hit rectangles of the arrows as last drawn; empty when not drawn.
    QRect upArrowRect() const;
    QRect downArrowRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct Entry {
        QString iconPath;
        QString name;
        float used;
        float total;
    };

    void paintEntry(QPainter &painter, const Entry &entry, int position) const;
    void paintArrows(QPainter &painter);
    void updatePaging();
    int pageSize() const;

    QVector<Entry> m_entries;
    bool m_sortByName = true;
    int m_rows = 4;
    int m_columns = 1;
    int m_firstIndex = 0;
    bool m_paging = false;
    bool m_canScrollUp = false;
    bool m_canScrollDown = true;
    bool m_upPressed = false;
    bool m_downPressed = false;
    bool m_upHovered = false;
    bool m_downHovered = false;
    bool m_mouseInside = false;
    QRect m_upRect;
    QRect m_downRect;
    QString m_fontFamily = QStringLiteral("黑体");
    int m_fontSize = 12;
};
