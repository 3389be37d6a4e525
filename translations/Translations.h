#pragma once
// Installs the translations of the language a program's windows speak.

#include "common/UiLanguage.h"

// The program's translation and Qt's own for `language`; Chinese, the source
// language, loads only Qt's. Installed once, after the application object
// and before the first window.
void installTranslations(texts::Language language);

// The language the user chose (the setting "language"), or the system's
// where the choice is to follow it (see common/UiLanguage.h).
texts::Language chosenLanguage();
