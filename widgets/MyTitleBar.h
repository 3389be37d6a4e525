#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;
class QPushButton;

// The blue title strip of the frameless main window: logo, a stretching
// title label, the About button and the minimise and close buttons. Dragging
// anywhere on the strip moves the window. The buttons only forward their
// clicks as signals.
class MyTitleBar : public QWidget
{
    Q_OBJECT

public:
    explicit MyTitleBar(QWidget *parent = nullptr);

    void setTitleIcon(const QString &path);

signals:
    void signalButtonMinClicked();
    void signalButtonCloseClicked();
    void signalButtonHelpClicked();

public slots:
    void onButtonMinClicked();
    void onButtonCloseClicked();
    void onButtonHelpClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLabel *m_icon;
    QLabel *m_title;
    QPushButton *m_buttonMin;
    QPushButton *m_buttonClose;
    QPushButton *m_buttonHelp;
    int m_red = 51;
    int m_green = 138;
    int m_blue = 251;
    bool m_dragging = false;
    QPoint m_lastGlobalPos;
};
