#pragma once

#include <QPushButton>

// The main window's round refresh button: a flat push button that re-emits
// its click as usbBtnclicked(). applyRefreshStyle() gives it its three images
// and a mask cut from the normal image, so only the round picture is
// clickable.
class QUsbButton : public QPushButton
{
    Q_OBJECT

public:
    explicit QUsbButton(QWidget *parent = nullptr);

    bool shown() const;
    void setShown(bool shown);

    // Applies the look for `shown`: hidden and disabled when false; else the
    // images, the image's size and the clickable mask. Only changes what
    // differs, so it may run on every paint of the parent window.
    void applyRefreshStyle();

signals:
    void usbBtnclicked();

public slots:
    void sendUsbclick();

private:
    bool m_shown;
};
