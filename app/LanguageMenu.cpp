#include "app/LanguageMenu.h"

#include "files/UserSettings.h"
#include "widgets/QMessageDlg.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <cstdio>

namespace {

// The menu's texts, in the order of LanguageMenu::kChoices. "English" is
// the same in every language, as language menus name each language in itself.
const char* const kChoiceTexts[] = {
    QT_TRANSLATE_NOOP("LanguageMenu", "跟随系统"),
    QT_TRANSLATE_NOOP("LanguageMenu", "中文"),
    QT_TRANSLATE_NOOP("LanguageMenu", "English"),
};
static_assert(std::size(kChoiceTexts) == std::size(LanguageMenu::kChoices));

const char kNoticeIcon[] = ":/Quillfence/Resources/icon1.png";
const char kWarningIcon[] = ":/Quillfence/Resources/icon2.png";

texts::LanguageChoice savedChoice()
{
    return texts::choiceOfName(files::readUserSetting(texts::kLanguageSetting).value_or(""));
}

}  // namespace

LanguageMenu::LanguageMenu(QWidget* window, QMenu* trayMenu, QAction* before)
    : QObject(window), window_(window), saved_(savedChoice())
{
    menu_ = new QMenu(tr("语言"), window);
    choices_ = new QActionGroup(menu_);
    for (size_t k = 0; k < std::size(kChoices); ++k) {
        QAction* action = menu_->addAction(tr(kChoiceTexts[k]));
        action->setCheckable(true);
        action->setChecked(kChoices[k] == saved_);
        choices_->addAction(action);
        const texts::LanguageChoice choice = kChoices[k];
        connect(action, &QAction::triggered, this, [this, choice] { choose(choice); });
    }
    trayMenu->insertMenu(before, menu_);
}

QList<QAction*> LanguageMenu::choiceActions() const
{
    return choices_->actions();
}

void LanguageMenu::choose(texts::LanguageChoice choice)
{
    if (choice == saved_)
        return;
    QMessageDlg dialog(window_);
    dialog.resize(300, 200);
    if (files::writeUserSetting(texts::kLanguageSetting, texts::choiceName(choice))) {
        saved_ = choice;
        dialog.setMessage(QString::fromLatin1(kNoticeIcon), tr("界面语言将在程序下次启动时切换。"), 0);
    } else {
        // The menu shows what is kept, not what was asked for.
        const QList<QAction*> actions = choices_->actions();
        for (int k = 0; k < actions.size(); ++k)
            actions[k]->setChecked(kChoices[k] == saved_);
        std::fprintf(stderr, "quillfence: the language could not be saved in the settings file\n");
        dialog.setMessage(QString::fromLatin1(kWarningIcon), tr("无法保存语言设置：设置文件无法写入。"), 0);
    }
    dialog.exec();
}
