// The language chosen in the tray menu: kept in the user settings, told to
// the user, and shown from the next start on (a new process), whatever the
// system's language says.
#include "app/LanguageMenu.h"

#include "DialogAnswerer.h"
#include "MainWinFixture.h"

#include <QAction>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void theMenuOffersTheThreeChoicesBeforeQuit();
    void theWindowsTrayMenuHoldsIt();
    void aChoiceIsKeptAndShownFromTheNextStart();
    void aChoiceThatCannotBeSavedIsSaidAndNotShownAsMade();

private:
    // The first line a new start prints (language-start.cpp) with LANG=`lang`.
    QString nextStart(const QString& lang);
    QString settingsText() const;
    QAction* choice(LanguageMenu& menu, const QString& text);

    QTemporaryDir home_;
    QString config_;
};

void LanguageTest::init()
{
    config_ = home_.path() + QStringLiteral("/config-") + QString::fromLatin1(QTest::currentTestFunction());
    qputenv("XDG_CONFIG_HOME", config_.toLocal8Bit());
}

QString LanguageTest::nextStart(const QString& lang)
{
    QProcess start;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), lang);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config_);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    start.setProcessEnvironment(environment);
    start.start(QStringLiteral(LANGUAGE_START), QStringList());
    if (!start.waitForFinished(60000) || start.exitCode() != 0)
        return QStringLiteral("(the start failed: %1)").arg(QString::fromUtf8(start.readAllStandardError()));
    return QString::fromUtf8(start.readAllStandardOutput()).section('\n', 0, 0);
}

QString LanguageTest::settingsText() const
{
    QFile file(config_ + QStringLiteral("/quillfence/settings"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QAction* LanguageTest::choice(LanguageMenu& menu, const QString& text)
{
    for (QAction* action : menu.choiceActions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void LanguageTest::theMenuOffersTheThreeChoicesBeforeQuit()
{
    QWidget window;
    QMenu tray;
    QAction* show = tray.addAction(QStringLiteral("显示"));
    QAction* quit = tray.addAction(QStringLiteral("退出"));
    LanguageMenu menu(&window, &tray, quit);
    const QList<QAction*> items = tray.actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0], show);
    QVERIFY(items[1]->menu());
    QCOMPARE(items[1]->text(), QStringLiteral("语言"));
    QCOMPARE(items[2], quit);
    QStringList texts;
    for (QAction* action : menu.choiceActions()) {
        texts << action->text();
        QVERIFY(action->isCheckable());
        QCOMPARE(action->isChecked(), action->text() == QStringLiteral("跟随系统"));
        QCOMPARE(action->actionGroup()->isExclusive(), true);
    }
    QCOMPARE(texts, (QStringList{QStringLiteral("跟随系统"), QStringLiteral("中文"), QStringLiteral("English")}));
    QCOMPARE(items[1]->menu()->actions(), menu.choiceActions());
}

void LanguageTest::theWindowsTrayMenuHoldsIt()
{
    FleetMachine machine;
    machine.use({fleetSystemDrive()});
    TestWin win;
    QVERIFY(listed(win));
    QMenu* tray = nullptr;
    for (QMenu* menu : win.findChildren<QMenu*>()) {
        if (menu->title() == QStringLiteral("功能"))
            tray = menu;
    }
    QVERIFY(tray);
    QStringList items;
    QAction* languages = nullptr;
    for (QAction* item : tray->actions()) {
        items << item->text();
        if (item->text() == QStringLiteral("语言"))
            languages = item;
    }
    QVERIFY2(languages && languages->menu(), qPrintable(items.join('|')));
    QCOMPARE(items.last(), QStringLiteral("退出"));
    auto* menu = win.findChild<LanguageMenu*>();
    QVERIFY(menu);
    QCOMPARE(languages->menu()->actions(), menu->choiceActions());
}

void LanguageTest::aChoiceIsKeptAndShownFromTheNextStart()
{
    QCOMPARE(nextStart(QStringLiteral("C")), QStringLiteral("语言|跟随系统|取消"));
    QCOMPARE(nextStart(QStringLiteral("en_US.UTF-8")), QStringLiteral("Language|System language|Cancel"));
    // Another setting of the file, kept beside the language.
    QVERIFY(QDir().mkpath(config_ + QStringLiteral("/quillfence")));
    QFile settings(config_ + QStringLiteral("/quillfence/settings"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("watch-interval=900\n");
    settings.close();

    struct Step {
        QString chosen;
        QString setting;
        QString lang;       // of the next start
        QString nextStart;  // what it shows
    };
    const Step steps[] = {
        {QStringLiteral("English"), QStringLiteral("language=en\nwatch-interval=900\n"), QStringLiteral("C"),
         QStringLiteral("Language|English|Cancel")},
        {QStringLiteral("中文"), QStringLiteral("language=zh\nwatch-interval=900\n"), QStringLiteral("en_US.UTF-8"),
         QStringLiteral("语言|中文|取消")},
        {QStringLiteral("跟随系统"), QStringLiteral("language=system\nwatch-interval=900\n"), QStringLiteral("de_DE.UTF-8"),
         QStringLiteral("Language|System language|Cancel")},
    };
    for (const Step& step : steps) {
        // Each choice is made in a window started before it.
        QWidget window;
        QMenu tray;
        LanguageMenu menu(&window, &tray, tray.addAction(QStringLiteral("退出")));
        QAction* action = choice(menu, step.chosen);
        QVERIFY(action);
        DialogAnswerer answerer;
        action->trigger();
        QCOMPARE(answerer.dialogs.size(), 1);
        QCOMPARE(answerer.last().parent, &window);
        QVERIFY2(answerer.last().text.endsWith(QStringLiteral("界面语言将在程序下次启动时切换。")),
                 qPrintable(answerer.last().text));
        QVERIFY(action->isChecked());
        QCOMPARE(settingsText(), step.setting);
        QCOMPARE(nextStart(step.lang), step.nextStart);

        // The choice in hand again: nothing to tell.
        action->trigger();
        QCOMPARE(answerer.dialogs.size(), 1);
    }
}

void LanguageTest::aChoiceThatCannotBeSavedIsSaidAndNotShownAsMade()
{
    // The configuration folder is a file: nothing can be written under it.
    QFile blocker(config_);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QWidget window;
    QMenu tray;
    LanguageMenu menu(&window, &tray, tray.addAction(QStringLiteral("退出")));
    DialogAnswerer answerer;
    choice(menu, QStringLiteral("English"))->trigger();
    QCOMPARE(answerer.dialogs.size(), 1);
    QVERIFY2(answerer.last().text.endsWith(QStringLiteral("无法保存语言设置：设置文件无法写入。")),
             qPrintable(answerer.last().text));
    QVERIFY(choice(menu, QStringLiteral("跟随系统"))->isChecked());
    QVERIFY(!choice(menu, QStringLiteral("English"))->isChecked());
    QCOMPARE(nextStart(QStringLiteral("C")), QStringLiteral("语言|跟随系统|取消"));
}

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
