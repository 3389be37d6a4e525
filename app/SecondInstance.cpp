#include "app/SingleInstance.h"

#include <QApplication>
#include <QMessageBox>

int refuseSecondInstance()
{
    QMessageBox::critical(QApplication::activeWindow(), QCoreApplication::translate("SecondInstance", "警告"),
                          QCoreApplication::translate("SecondInstance", "程序已启动"),
                          QMessageBox::Ok);
    return 1;
}
