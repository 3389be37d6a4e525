#pragma once

#include <QStringList>
#include <QWidget>

// Darkens its parent window while a watched object is shown. Watches every
// object of the application through an application-wide event filter: the
// show event of an object whose name is in the list shows the mask, its hide
// event hides it again.
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

private:
    QStringList m_dialogNames;
};
