#include "platform/display_server.h"

#include <QGuiApplication>

#include <cstdlib>

#include <xcb/xcb.h>

void waitForDisplayServer() {
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // The offscreen platform answers too, without a connection.
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (connection == nullptr)
        return;
    // The server carries out requests in order: this one is answered once
    // everything sent before it has been drawn.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}
