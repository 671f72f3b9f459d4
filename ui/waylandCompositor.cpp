// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "waylandCompositor.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QtGlobal>

#include <wayland-client.h>

namespace waylandCompositor {

namespace {

void global(void *data, wl_registry *, uint32_t, const char *interface, uint32_t)
{
    static_cast<QByteArrayList *>(data)->append(QByteArray(interface));
}

void globalRemoved(void *, wl_registry *, uint32_t) { }

constexpr wl_registry_listener listener = {global, globalRemoved};

Offers read()
{
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET"))
        return {};
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return {};
    QByteArrayList names;
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &names);
    const bool read = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (!read)
        return {};
    Offers offers;
    offers.reached = true;
    for (const QByteArray &name : names) {
        if (name == "zwp_text_input_manager_v1" || name == "zwp_text_input_manager_v2"
            || name == "zwp_text_input_manager_v4" || name == "qt_text_input_method_manager_v1")
            offers.textInput = true;
        else if (name == "zxdg_decoration_manager_v1")
            offers.serverDecorations = true;
    }
    return offers;
}

} // namespace

Offers ask()
{
    static const Offers offers = read();
    return offers;
}

} // namespace waylandCompositor
