// SPDX-License-Identifier: MIT
#include "single_instance.h"

#include <gio/gio.h>

#include <cstdio>
#include <exception>
#include <string>

#include "site_data.h"
#include "translate.h"

namespace kwirl {

namespace {

// The name the client is known by on the session bus, as in its menu entry.
constexpr const char* kApplicationId = "io.kwirl.GameClient";

// A bus to meet on, without starting one: GIO would launch a bus of its own
// for a session that has none.
bool sessionHasBus() {
    if (const char* address = g_getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) return true;
    const std::string socket = std::string(g_get_user_runtime_dir()) + "/bus";
    return g_file_test(socket.c_str(), G_FILE_TEST_EXISTS);
}

}  // namespace

SingleInstance::~SingleInstance() { g_clear_object(&application_); }

// Whether a client of this session owns the name already; false as well when
// there is no bus, or it failed us.
bool SingleInstance::registeredAsSecond() {
    if (!sessionHasBus()) return false;
    application_ = g_application_new(kApplicationId, G_APPLICATION_HANDLES_OPEN);
    g_signal_connect(application_, "activate", G_CALLBACK(+[](GApplication*, gpointer self) {
                         if (auto& comeForward = static_cast<SingleInstance*>(self)->comeForward_) comeForward({});
                     }),
                     this);
    // An address a later start was given: taken as that start took it, and
    // only the first of them.
    g_signal_connect(application_, "open",
                     G_CALLBACK(+[](GApplication*, GFile** files, gint count, const gchar*, gpointer self) {
                         auto& comeForward = static_cast<SingleInstance*>(self)->comeForward_;
                         if (!comeForward || count < 1) return;
                         gchar* uri = g_file_get_uri(files[0]);
                         const std::string address = uri ? uri : "";
                         g_free(uri);
                         comeForward(address);
                     }),
                     this);
    GError* error = nullptr;
    if (!g_application_register(application_, nullptr, &error)) {
        std::fprintf(stderr, "kwirl: the session bus did not answer (%s); the data folder's lock decides\n",
                     error->message);
        g_clear_error(&error);
        g_clear_object(&application_);
        return false;
    }
    return g_application_get_is_remote(application_);
}

SingleInstance::Start SingleInstance::claim(const std::string& address) {
    if (registeredAsSecond()) {
        if (address.empty()) {
            g_application_activate(application_);  // asks the running client to come forward
        } else {
            GFile* page = g_file_new_for_uri(address.c_str());
            g_application_open(application_, &page, 1, "");
            g_object_unref(page);
        }
        if (GDBusConnection* bus = g_application_get_dbus_connection(application_)) {
            g_dbus_connection_flush_sync(bus, nullptr, nullptr);
        }
        return Start::HandedOver;
    }
    const std::string folder = clientDataFolder();
    if (folder.empty()) return Start::Alone;  // no data folder: nothing is kept to share
    try {
        return lock_.take(folder, true) ? Start::Alone : Start::Refused;
    } catch (const std::exception& failure) {
        // The folder cannot be written: the engine keeps nothing there either.
        std::fprintf(stderr, "kwirl: %s\n", failure.what());
        return Start::Alone;
    }
}

void SingleInstance::onAnotherStart(std::function<void(const std::string&)> comeForward) {
    comeForward_ = std::move(comeForward);
}

std::string refusedStartText() {
    return fillIn(tr("kwirl: another kwirl is using %s (a client of another session, or --forget), and it cannot "
                     "be asked to show its window; close it first\n"),
                  clientDataFolder());
}

}  // namespace kwirl
