#include "x_key_window.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xkbcommon/xkbcommon.h>

#include <poll.h>

XKeyWindow::XKeyWindow(const QByteArray& display) {
    display_ = XOpenDisplay(display.constData());
    if (display_ == nullptr) return;
    const int screen = DefaultScreen(display_);
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, 200, 100, 0, 0, 0);
    XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask | FocusChangeMask);
    XMapRaised(display_, window_);
    // Wait for the map, then take the focus and wait until the server says we have it.
    XEvent event;
    do XNextEvent(display_, &event);
    while (event.type != MapNotify);
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    do XNextEvent(display_, &event);
    while (event.type != FocusIn);
    ready_ = true;
    reader_ = std::jthread([this](std::stop_token stop) { read(stop); });
}

XKeyWindow::~XKeyWindow() {
    reader_ = {};
    if (display_ != nullptr) XCloseDisplay(display_);
}

void XKeyWindow::read(std::stop_token stop) {
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    while (!stop.stop_requested()) {
        if (XPending(display_) == 0) {
            (void)::poll(&connection, 1, 20);  // short, so that the stop request is seen
            continue;
        }
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
        } else if (event.type == KeyPress) {
            char bytes[16];
            KeySym keysym = NoSymbol;
            (void)XLookupString(&event.xkey, bytes, sizeof bytes, &keysym, nullptr);
            const char32_t c = xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(keysym));
            if (c == 0) continue;  // a modifier key
            {
                const std::lock_guard lock(mutex_);
                text_.push_back(c);
                states_.push_back(event.xkey.state);
            }
            arrived_.notify_all();
        }
    }
}

std::u32string XKeyWindow::waitForText(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [&] { return text_.size() >= count; });
    return text_;
}

std::vector<unsigned> XKeyWindow::states() {
    const std::lock_guard lock(mutex_);
    return states_;
}

void XKeyWindow::lockCapsLock() {
    Display* other = XOpenDisplay(DisplayString(display_));
    if (other == nullptr) return;
    XkbLockModifiers(other, XkbUseCoreKbd, LockMask, LockMask);
    XSync(other, False);
    XCloseDisplay(other);
}

bool XKeyWindow::mapHas(unsigned long keysym) {
    Display* other = XOpenDisplay(DisplayString(display_));
    if (other == nullptr) return false;
    const bool has = XKeysymToKeycode(other, keysym) != 0;
    XCloseDisplay(other);
    return has;
}
