#include "stayOnTop.h"

#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3.h>
#include <GLFW/glfw3native.h>
#include <X11/Xlib.h>

namespace {

Display* asDisplay(void* display) {
    return static_cast<Display*>(display);
}

bool windowManagerRuns(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) {
        return false;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                          AnyPropertyType, &type, &format, &count, &after, &data);
    const bool found = status == Success && data != nullptr && count > 0;
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}

} // namespace

StayOnTop::~StayOnTop() {
    if (display != nullptr) {
        XCloseDisplay(asDisplay(display));
    }
}

void StayOnTop::start() {
    GLFWwindow* window = glfwGetCurrentContext();
    if (window == nullptr) {
        return;
    }
    Display* own = XOpenDisplay(nullptr);
    if (own == nullptr) {
        return;
    }
    if (windowManagerRuns(own)) {
        XCloseDisplay(own);
        return;
    }
    display = own;
    view = glfwGetX11Window(window);
    XSelectInput(own, DefaultRootWindow(own), SubstructureNotifyMask);
    XRaiseWindow(own, view);
    XFlush(own);
}

void StayOnTop::poll() {
    if (display == nullptr) {
        return;
    }
    Display* own = asDisplay(display);
    bool buried = false;
    while (XPending(own) > 0) {
        XEvent event;
        XNextEvent(own, &event);
        if (event.type == MapNotify && event.xmap.window != view) {
            buried = true;
        } else if (event.type == ConfigureNotify && event.xconfigure.window != view) {
            buried = true;
        }
    }
    if (buried) {
        XRaiseWindow(own, view);
        XFlush(own);
    }
}
