#pragma once

#include "translations/Translations.h"  // installTranslations(), for the tests too

#include <Qt>
// What every start of the window does before the main window is built.

// Before the application object: the device backend and the platform's
// drawing setup. The program draws no OpenGL, so X11's GL integration is
// skipped unless the user asks for one (it costs about a third of the time to
// the first painted window).
void prepareProcess();

// After the application object: the application's name, fonts, the
// translations of the language the user chose (or the system's, see
// common/UiLanguage.h) and the window icon.
void prepareApplication();

// The main window's flags: frameless with a minimise button.
constexpr auto kMainWindowFlags = Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint;
