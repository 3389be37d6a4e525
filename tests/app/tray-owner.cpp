// Stands in for a desktop's system tray on a bare X server: owns the
// selection _NET_SYSTEM_TRAY_S<screen> and announces it, so that programs
// find a tray and can hide their windows to it. Docking requests are left
// unanswered: no icon is shown. Prints "ready" once it owns the selection
// and runs until it is killed.
// Usage: tray-owner   (on $DISPLAY)
#include <X11/Xlib.h>

#include <cstdio>
#include <string>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "tray-owner: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const Window owner = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    const Atom selection = XInternAtom(display, ("_NET_SYSTEM_TRAY_S" + std::to_string(screen)).c_str(), False);
    XSetSelectionOwner(display, selection, owner, CurrentTime);
    if (XGetSelectionOwner(display, selection) != owner) {
        std::fprintf(stderr, "tray-owner: another tray owns the selection\n");
        return 1;
    }
    XEvent manager{};
    manager.xclient.type = ClientMessage;
    manager.xclient.window = root;
    manager.xclient.message_type = XInternAtom(display, "MANAGER", False);
    manager.xclient.format = 32;
    manager.xclient.data.l[0] = CurrentTime;
    manager.xclient.data.l[1] = static_cast<long>(selection);
    manager.xclient.data.l[2] = static_cast<long>(owner);
    XSendEvent(display, root, False, StructureNotifyMask, &manager);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    for (XEvent event;;)
        XNextEvent(display, &event);
}
