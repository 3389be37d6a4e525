#pragma once

#include <QStringList>
#include <QWidget>

// Darkens its parent window while a watched object is shown. Watches every
// object of the application through an application-wide event filter: the
// show event of an object whose name is in the list shows the mask, its hide
// event hides it again.
//
// Where translucent windows are blended (a compositing manager runs), the
// mask is a translucent window of its own over the parent's; elsewhere such a
// window would be drawn black, so the mask is a child of the parent covering
// it, blended by the toolkit itself.
class MaskWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MaskWidget(QWidget *parent = nullptr);

public slots:
    void setDialogNames(const QStringList &dialogNames);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // Whether the mask may be a translucent window (windowTranslucencyAvailable()).
    virtual bool translucentWindows() const;

private:
    // Becomes a window or a child of the parent, as translucentWindows() says.
    void chooseForm();

    QStringList m_dialogNames;
};
