#pragma once
// The About panel: logo, QR code, version, feedback address and legal notice,
// dropped down inside the main window by its help button and hidden again by
// its own button.

#include <QWidget>

class QPushButton;

class HelpDlg : public QWidget {
    Q_OBJECT
public:
    explicit HelpDlg(QWidget* parent = nullptr);

    // Drops the panel down at x = (parent width / 7) * 5, y 56; nothing
    // happens while it is already down.
    void SlideDown();

signals:
    void onCloseClisked();

public slots:
    // Hides the panel at once and emits onCloseClisked(), once per close.
    void PushHide();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setupForm();
    void applyCloseButtonLook();

    QPushButton* closeButton = nullptr;
    bool hidden = true;
    int panelWidth = 0;
    int panelHeight = 0;
};
