#include "sandbox_probe.h"

#include <glib.h>
#include <sys/wait.h>

#include <cerrno>

namespace kwirl {

namespace {

constexpr const char* kNotInstalled = "bubblewrap (bwrap) is not installed";
constexpr const char* kNoNamespaces = "this system does not let bubblewrap make namespaces";

GPid pendingProbe = 0;

// Starts `bwrap --unshare-all … true`; false when bubblewrap is not there.
bool spawnProbe(GSpawnFlags extra, GPid* pid, gint* status) {
    gchar* bwrap = g_find_program_in_path("bwrap");
    if (!bwrap) return false;
    gchar* probe[] = {bwrap, const_cast<gchar*>("--unshare-all"), const_cast<gchar*>("--die-with-parent"),
                      const_cast<gchar*>("--ro-bind"), const_cast<gchar*>("/"), const_cast<gchar*>("/"),
                      const_cast<gchar*>("true"), nullptr};
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL | extra);
    bool started = false;
    if (pid) {
        started = g_spawn_async(nullptr, probe, nullptr, flags, nullptr, nullptr, pid, nullptr);
    } else {
        started = g_spawn_sync(nullptr, probe, nullptr, flags, nullptr, nullptr, nullptr, nullptr, status, nullptr);
    }
    g_free(bwrap);
    if (!started && status) *status = -1;
    return true;
}

const char* probeNow() {
    gint status = -1;
    if (!spawnProbe(static_cast<GSpawnFlags>(0), nullptr, &status)) return kNotInstalled;
    return g_spawn_check_wait_status(status, nullptr) ? nullptr : kNoNamespaces;
}

}  // namespace

void startSandboxProbe() {
    if (pendingProbe != 0) return;
    GPid pid = 0;
    if (spawnProbe(G_SPAWN_DO_NOT_REAP_CHILD, &pid, nullptr) && pid > 0) pendingProbe = pid;
}

const char* sandboxProbeFailure() {
    if (pendingProbe == 0) return probeNow();
    const GPid pid = pendingProbe;
    pendingProbe = 0;
    int status = 0;
    pid_t ended = -1;
    do {
        ended = waitpid(pid, &status, 0);
    } while (ended < 0 && errno == EINTR);
    // Reaped by someone else: its answer is lost, so ask again.
    if (ended != pid) return probeNow();
    return g_spawn_check_wait_status(status, nullptr) ? nullptr : kNoNamespaces;
}

}  // namespace kwirl
