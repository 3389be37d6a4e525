// Windows blends translucent (layered) windows with or without desktop
// composition.

#include "widgets/WindowTranslucency.h"

bool windowTranslucencyAvailable()
{
    return true;
}
