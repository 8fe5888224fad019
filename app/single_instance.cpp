// SPDX-License-Identifier: MIT
#include "single_instance.h"

#include <gio/gio.h>

#include <string>

namespace kwirl {

namespace {

// The name the client is known by on the session bus, as in its menu entry.
constexpr const char* kApplicationId = "io.kwirl.GameClient";

GApplication* application = nullptr;
std::function<void()> comeForwardHandler;

// A bus to meet on, without starting one: GIO would launch a bus of its own
// for a session that has none.
bool sessionHasBus() {
    if (const char* address = g_getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) return true;
    const std::string socket = std::string(g_get_user_runtime_dir()) + "/bus";
    return g_file_test(socket.c_str(), G_FILE_TEST_EXISTS);
}

}  // namespace

bool anotherClientRuns() {
    if (application) return g_application_get_is_remote(application);
    if (!sessionHasBus()) return false;
    application = g_application_new(kApplicationId, G_APPLICATION_DEFAULT_FLAGS);
    g_signal_connect(application, "activate", G_CALLBACK(+[](GApplication*, gpointer) {
                         if (comeForwardHandler) comeForwardHandler();
                     }),
                     nullptr);
    GError* error = nullptr;
    if (!g_application_register(application, nullptr, &error)) {
        g_clear_error(&error);  // the bus is unreachable: run on our own
        g_clear_object(&application);
        return false;
    }
    return g_application_get_is_remote(application);
}

bool handOverToRunningClient() {
    if (!anotherClientRuns()) return false;
    g_application_activate(application);  // asks the running client to come forward
    if (GDBusConnection* bus = g_application_get_dbus_connection(application)) {
        g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    }
    return true;
}

void onAnotherStart(std::function<void()> comeForward) { comeForwardHandler = std::move(comeForward); }

}  // namespace kwirl
