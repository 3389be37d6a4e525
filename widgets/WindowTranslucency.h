#pragma once
// Whether a translucent top-level window shows what lies behind it. On X11
// that takes a compositing manager, which plain X desktops and many remote
// sessions do not run: without one, the transparent parts of such a window
// are drawn black. Asked each time, since a compositor can start and stop
// while the program runs.
bool windowTranslucencyAvailable();
