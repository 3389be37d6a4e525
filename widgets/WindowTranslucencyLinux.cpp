// X11 needs a compositing manager for translucent windows; Wayland composes
// every window itself, and the offscreen platform draws into images.

#include "widgets/WindowTranslucency.h"

#include <QX11Info>

bool windowTranslucencyAvailable()
{
    if (!QX11Info::isPlatformX11())
        return true;
    return QX11Info::isCompositingManagerRunning();
}
