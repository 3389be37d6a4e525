#pragma once
// The main window's disk selector: a combo box that draws its current entry
// elided with "…" where the entry is wider than the box, and then shows it
// whole in its tool tip. Every entry of its list carries its whole text as
// its tool tip, since the list elides long entries too. The entries' texts
// themselves stay whole (the window reads the disk number from them, and
// copies the current one to the clipboard).

#include <QComboBox>

class DiskSelector : public QComboBox {
    Q_OBJECT
    // What the box draws of its current entry.
    Q_PROPERTY(QString shownText READ shownText)

public:
    explicit DiskSelector(QWidget* parent = nullptr);

    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRect textRect() const;
    void updateToolTip();
    void giveEntriesTheirToolTips(int first, int last);
};
