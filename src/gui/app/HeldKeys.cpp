#include "gui/app/HeldKeys.h"

#include <xcb/xcb.h>
// The C header names a field "explicit", a C++ keyword.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit

#include <QGuiApplication>
#include <cstdlib>

namespace vorkel::gui {

bool reportHeldKeysOnce() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return true;
    xcb_connection_t* connection = x11->connection();
    // The platform has already enabled XKB on this connection; only our flag changes.
    const xcb_xkb_per_client_flags_cookie_t cookie = xcb_xkb_per_client_flags(
        connection, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
        XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0);
    xcb_xkb_per_client_flags_reply_t* reply =
        xcb_xkb_per_client_flags_reply(connection, cookie, nullptr);
    const bool set = reply && (reply->value & XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT) != 0;
    std::free(reply);
    return set;
}

}  // namespace vorkel::gui
