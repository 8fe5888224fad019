// SPDX-License-Identifier: MIT
#include "engine_shell.h"

#include <gdk/gdkx.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bus_address.h"
#include "engine_rendering.h"
#include "sandbox_probe.h"
#include "site_data.h"
#include "store_check.h"

namespace kwirl {

namespace {

// The engine's SQLite stores in its data folder.
constexpr const char* kCookieStore = "cookies.sqlite";
constexpr const char* kHttpsOnlySitesStore = "hsts-storage.sqlite";

// A bus address is read from the root window up to 4 KiB (X counts in 32-bit
// units), and asked of the session bus for at most a second.
constexpr long kMostAddressUnits = 1024;
constexpr int kBusCallTimeoutMs = 1000;

// The accessibility bus the engine hands to its sandbox, found as the engine
// finds it: the environment, the display's root window, the session bus.
std::string accessibilityBusAddress() {
    if (const char* address = g_getenv("AT_SPI_BUS_ADDRESS"); address && *address) return address;
    GdkDisplay* display = gdk_display_get_default();
    if (display && GDK_IS_X11_DISPLAY(display)) {
        Display* x = gdk_x11_display_get_xdisplay(display);
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x, DefaultRootWindow(x), XInternAtom(x, "AT_SPI_BUS", False), 0, kMostAddressUnits,
                               False, AnyPropertyType, &type, &format, &items, &after, &data) == Success &&
            data) {
            std::string address(reinterpret_cast<char*>(data), items);
            XFree(data);
            if (!address.empty()) return address;
        }
    }
    if (!g_getenv("DBUS_SESSION_BUS_ADDRESS")) return {};
    std::string address;
    if (GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
        if (GVariant* reply = g_dbus_connection_call_sync(
                bus, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", nullptr, G_VARIANT_TYPE("(s)"),
                G_DBUS_CALL_FLAGS_NONE, kBusCallTimeoutMs, nullptr, nullptr)) {
            const gchar* text = nullptr;
            g_variant_get(reply, "(&s)", &text);
            address = text ? text : "";
            g_variant_unref(reply);
        }
        g_object_unref(bus);
    }
    return address;
}

// The accessibility bus's variable, as the engine and the toolkit read it, and
// the address given to them for a bus that is gone: not empty (they would look
// further, on the root window and the session bus), and naming no socket file
// (the engine binds the bus's folder into its sandbox, and would abort on one
// that is gone).
constexpr const char* kAccessibilityBusVariable = "AT_SPI_BUS_ADDRESS";
constexpr const char* kNoAccessibilityBus = "unix:abstract=kwirl-no-accessibility-bus";

// The session bus's variable, and the address given for a bus that is gone: a
// file every system has, that the engine can bind into its sandbox, and on
// which nobody can answer (a socket name of the machine's, abstract or in a
// shared folder, could be taken by another user, who would then be the
// client's session bus).
constexpr const char* kSessionBusVariable = "DBUS_SESSION_BUS_ADDRESS";
constexpr const char* kNoSessionBus = "unix:path=/dev/null";

// Why web content runs without the engine's sandbox; empty while it runs in it.
std::string& sandboxAbsence() {
    static std::string reason;
    return reason;
}

// Web content runs in the engine's sandboxed web process (its own namespaces,
// through bubblewrap) wherever the platform allows it. It must be decided
// before the first web process starts, so once per process. A bus that is gone,
// the accessibility bus or the session bus, never costs the sandbox.
void decideSandbox() {
    if (namesAMissingSocket(accessibilityBusAddress())) {
        // Replaced, never added: the variable is there since the top of main.
        g_setenv(kAccessibilityBusVariable, kNoAccessibilityBus, TRUE);
        std::fprintf(stderr,
                     "kwirl: the accessibility bus named by this session is gone: web pages are not "
                     "readable by screen readers\n");
    }
    const char* reason = sandboxProbeFailure();
    if (reason) {
        sandboxAbsence() = reason;
        std::fprintf(stderr, "kwirl: web pages run without the engine's sandbox: %s\n", reason);
        return;
    }
    webkit_web_context_set_sandbox_enabled(webkit_web_context_get_default(), TRUE);
}

// Cookies (a player's login among them) are kept in the engine's data folder
// across runs, in a database checked first: a store left broken by a crash is
// set aside, and the player is told where it went.
void keepStoresAcrossRuns() {
    WebKitWebContext* context = webkit_web_context_get_default();
    // The engine's own data folder: the user's data folder and the program's name.
    const std::string data = clientDataFolder();
    if (data.empty()) return;  // no data folder of the user's: cookies last for the run
    if (std::string why = whyStoresNotKept(data, kCookieStore); !why.empty()) noteStoresNotKept({data, why});
    for (const char* store : {kCookieStore, kHttpsOnlySitesStore}) {
        const std::string path = data + "/" + store;
        if (const auto aside = setAsideIfBroken(path)) {
            std::fprintf(stderr, "kwirl: %s was damaged and is set aside as %s\n", path.c_str(), aside->c_str());
        }
    }
    webkit_cookie_manager_set_persistent_storage(webkit_web_context_get_cookie_manager(context),
                                                 (data + "/" + kCookieStore).c_str(),
                                                 WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
}

}  // namespace

std::string engineVersion() {
    return "WebKitGTK " + std::to_string(webkit_get_major_version()) + "." +
           std::to_string(webkit_get_minor_version()) + "." + std::to_string(webkit_get_micro_version()) + " (" +
           KWIRL_ENGINE_API + ")";
}

void forgetSiteData(std::function<void(bool)> done) {
    WebKitWebsiteDataManager* manager = webkit_web_context_get_website_data_manager(webkit_web_context_get_default());
    auto* caller = new std::function<void(bool)>(std::move(done));
    // Everything of every site, from the beginning of time.
    webkit_website_data_manager_clear(
        manager, WEBKIT_WEBSITE_DATA_ALL, 0, nullptr,
        +[](GObject* source, GAsyncResult* result, gpointer data) {
            const std::unique_ptr<std::function<void(bool)>> then(static_cast<std::function<void(bool)>*>(data));
            GError* error = nullptr;
            const bool cleared =
                webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result, &error);
            if (error) std::fprintf(stderr, "kwirl: the site data could not all be forgotten: %s\n", error->message);
            g_clear_error(&error);
            // The engine knows nothing of the stores set aside after a crash.
            removeSetAsideStores();
            if (*then) (*then)(cleared);
        },
        caller);
}

std::string sandboxMissing() { return sandboxAbsence(); }

namespace {
// What the engine was told to trust, told again to a network process that
// came after (the engine does not pass it on when one ends and another starts).
std::vector<std::pair<std::string, std::vector<std::string>>>& trustedSoFar() {
    static std::vector<std::pair<std::string, std::vector<std::string>>> told;
    return told;
}

void allowCertificatesFor(const std::string& pemFile, const std::vector<std::string>& hostNames) {
    GError* error = nullptr;
    GList* certificates = g_tls_certificate_list_new_from_file(pemFile.c_str(), &error);
    if (error || !certificates) {
        std::fprintf(stderr, "kwirl: no certificate of %s is trusted: %s\n", pemFile.c_str(),
                     error ? error->message : "the file holds none");
        g_clear_error(&error);
        return;
    }
    WebKitWebContext* context = webkit_web_context_get_default();
    for (GList* item = certificates; item; item = item->next) {
        for (const std::string& host : hostNames) {
            webkit_web_context_allow_tls_certificate_for_host(context, G_TLS_CERTIFICATE(item->data), host.c_str());
        }
    }
    g_list_free_full(certificates, g_object_unref);
}
}  // namespace

void trustCertificatesFor(const std::string& pemFile, const std::vector<std::string>& hostNames) {
    if (pemFile.empty()) return;
    trustedSoFar().emplace_back(pemFile, hostNames);
    allowCertificatesFor(pemFile, hostNames);
}

void renewTrustedCertificates() {
    for (const auto& [pemFile, hostNames] : trustedSoFar()) allowCertificatesFor(pemFile, hostNames);
}

void setUpEngineBeforeToolkit() {
    chooseEngineRendering();
    // An accessibility bus named here that is gone is looked for elsewhere (the
    // root window, the session bus); the variable stays, empty, so that it can
    // be replaced later without adding to the environment the toolkit's threads read.
    const char* accessibility = g_getenv(kAccessibilityBusVariable);
    if (!accessibility || !*accessibility || namesAMissingSocket(accessibility)) {
        g_setenv(kAccessibilityBusVariable, "", TRUE);
    }
    // A session bus named here that is gone would be bound into the sandbox,
    // and the engine would abort: it is replaced by an address of no bus, and
    // the sandbox stays. Other starts have been met on the bus before this
    // (single_instance.h); nothing of the client's needs it afterwards.
    if (const char* session = g_getenv(kSessionBusVariable); session && namesAMissingSocket(session)) {
        g_setenv(kSessionBusVariable, kNoSessionBus, TRUE);
        std::fprintf(stderr, "kwirl: the session bus named by this session is gone: web pages are given none\n");
    }
    startSandboxProbe();
}

void setUpEngineBeforeFirstView() {
    static bool done = false;
    if (done) return;
    done = true;
    for (const std::string& failure : makeClientFoldersPrivate()) {
        std::fprintf(stderr, "kwirl: the folder is not private to the player: %s\n", failure.c_str());
    }
    decideSandbox();
    keepStoresAcrossRuns();
}

}  // namespace kwirl
