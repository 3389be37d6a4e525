// A start of the window's process as far as its language goes: prepares the
// application as the window does and prints the tray's language menu, the
// checked choice and the Cancel button of Qt's own dialogs, one line:
//   语言|跟随系统|取消
#include "app/LanguageMenu.h"
#include "app/Startup.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    prepareApplication();
    QWidget window;
    QMenu tray;
    QAction* quit = tray.addAction(QStringLiteral("退出"));
    const LanguageMenu languages(&window, &tray, quit);
    QString checked;
    for (QAction* choice : languages.choiceActions()) {
        if (choice->isChecked())
            checked = choice->text();
    }
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    const QString line = tray.actions().first()->text() + '|' + checked + '|' +
                         buttons.button(QDialogButtonBox::Cancel)->text() + '\n';
    std::fputs(line.toUtf8().constData(), stdout);
    return 0;
}
