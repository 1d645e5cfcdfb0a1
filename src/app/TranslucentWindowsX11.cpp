#include "app/TranslucentWindows.h"

#include <QGuiApplication>
#include <cstdlib>
#include <xcb/xcb.h>

// Always under Wayland and offscreen; under X11 only while a compositing manager owns the _NET_WM_CM_S0 selection.
bool TranslucencyAvailable()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return false;
    xcb_connection_t* connection = x11->connection();
    static const char name[] = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom
        = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
    if (atom == nullptr)
        return false;
    const xcb_atom_t selection = atom->atom;
    free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner
        = xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    if (owner == nullptr)
        return false;
    const bool owned = owner->owner != XCB_NONE;
    free(owner);
    return owned;
}

