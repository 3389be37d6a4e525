#pragma once
// The language of the window, chosen in the tray menu: 跟随系统 (the
// system's language), 中文 or English. The choice is kept in the user
// settings, where quillfence-cli reads it too; the window's texts are
// installed once, at start (app/Startup.cpp), so a new choice takes effect
// at the next start, as the user is told.

#include "common/UiLanguage.h"

#include <QObject>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

class LanguageMenu : public QObject {
    Q_OBJECT
public:
    // The menu's choices, in this order.
    static constexpr texts::LanguageChoice kChoices[] = {texts::LanguageChoice::System,
                                                          texts::LanguageChoice::Chinese,
                                                          texts::LanguageChoice::English};

    // Adds the language menu to `trayMenu` before `before`; the message
    // dialogs are shown over `window`.
    LanguageMenu(QWidget* window, QMenu* trayMenu, QAction* before);

    // The menu's actions, in the order of kChoices.
    QList<QAction*> choiceActions() const;

private:
    void choose(texts::LanguageChoice choice);

    QWidget* window_;
    QMenu* menu_ = nullptr;
    QActionGroup* choices_ = nullptr;
    texts::LanguageChoice saved_ = texts::LanguageChoice::System;
};
