#include "app/SingleInstance.h"

#include <QApplication>
#include <QMessageBox>

int refuseSecondInstance()
{
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("警告"), QStringLiteral("程序已启动"),
                          QMessageBox::Ok);
    return 1;
}
