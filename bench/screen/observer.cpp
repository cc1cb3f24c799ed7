#include "screen/observer.h"

#include <chrono>

#include <poll.h>

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

namespace screen {

double steadyMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool canObserve(Display* display) {
    int event = 0, error = 0, major = 0, minor = 0;
    return XDamageQueryExtension(display, &event, &error) &&
           XTestQueryExtension(display, &event, &error, &major, &minor);
}

namespace {

Signature readBack(Display* display, const FieldPlace& place) {
    XImage* image =
        XGetImage(display, place.window, place.x, place.y, static_cast<unsigned>(place.width),
                  static_cast<unsigned>(place.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return {};
    const Signature s = signatureOf(
        place.width, place.height, place.border, place.tickColumn,
        [image](int x, int y) { return static_cast<std::uint32_t>(XGetPixel(image, x, y)); });
    XDestroyImage(image);
    return s;
}

bool touches(const XRectangle& r, const FieldPlace& p) {
    return r.x < p.x + p.width && r.x + r.width > p.x && r.y < p.y + p.height &&
           r.y + r.height > p.y;
}

void click(Display* display, const FieldPlace& place) {
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, place.window, DefaultRootWindow(display), place.clickX,
                          place.clickY, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

} // namespace

Observation observe(Display* display, const FieldPlace& place,
                    const std::function<bool()>& finished, double timeoutMs) {
    Observation seen;
    int damageEvent = 0, damageError = 0;
    XDamageQueryExtension(display, &damageEvent, &damageError);
    const Damage damage = XDamageCreate(display, place.window, XDamageReportRawRectangles);
    XSync(display, False);
    seen.pictures.push_back({steadyMs(), 0, readBack(display, place)});
    // Creating the damage object reports the whole window once.
    while (XPending(display) > 0) {
        XEvent e;
        XNextEvent(display, &e);
    }

    seen.clickAt = steadyMs();
    click(display, place);
    const int fd = ConnectionNumber(display);
    int rectsSince = 0;
    while (steadyMs() - seen.clickAt < timeoutMs && !finished()) {
        if (XPending(display) == 0) {
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 20);
        }
        bool fieldDamaged = false;
        double lastAt = 0;
        while (XPending(display) > 0) {
            XEvent e;
            XNextEvent(display, &e);
            const double now = steadyMs();
            if (e.type != damageEvent + XDamageNotify)
                continue;
            const auto& d = reinterpret_cast<const XDamageNotifyEvent&>(e);
            if (touches(d.area, place)) {
                ++seen.fieldRects;
                ++rectsSince;
                fieldDamaged = true;
                lastAt = now;
            } else {
                ++seen.otherRects;
            }
        }
        if (!fieldDamaged)
            continue;
        Signature s = readBack(display, place);
        if (s.hash != seen.pictures.back().signature.hash) {
            seen.pictures.push_back({lastAt, rectsSince, std::move(s)});
            rectsSince = 0;
        }
    }
    XDamageDestroy(display, damage);
    XSync(display, False);
    return seen;
}

} // namespace screen
