// SPDX-License-Identifier: MIT
#include "sandbox_probe.h"

#include <glib.h>
#include <sys/wait.h>

#include <cerrno>

namespace kwirl {

namespace {

constexpr const char* kNotInstalled = "bubblewrap (bwrap) is not installed";
constexpr const char* kNoNamespaces = "this system does not let bubblewrap make namespaces";
constexpr auto kQuiet = static_cast<GSpawnFlags>(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL);

GPid pendingProbe = 0;

// Hands `spawn` the probe's command, `bwrap --unshare-all … true`; false when
// bubblewrap is not installed.
template <typename Spawn>
bool withProbeCommand(Spawn spawn) {
    gchar* bwrap = g_find_program_in_path("bwrap");
    if (!bwrap) return false;
    gchar* command[] = {bwrap,
                        const_cast<gchar*>("--unshare-all"),
                        const_cast<gchar*>("--die-with-parent"),
                        const_cast<gchar*>("--ro-bind"),
                        const_cast<gchar*>("/"),
                        const_cast<gchar*>("/"),
                        const_cast<gchar*>("true"),
                        nullptr};
    spawn(command);
    g_free(bwrap);
    return true;
}

const char* answerOf(int waitStatus) {
    return g_spawn_check_wait_status(waitStatus, nullptr) ? nullptr : kNoNamespaces;
}

const char* probeNow() {
    gint status = -1;
    const bool installed = withProbeCommand([&status](gchar** command) {
        if (!g_spawn_sync(nullptr, command, nullptr, kQuiet, nullptr, nullptr, nullptr, nullptr, &status, nullptr)) {
            status = -1;
        }
    });
    return installed ? answerOf(status) : kNotInstalled;
}

}  // namespace

void startSandboxProbe() {
    if (pendingProbe != 0) return;
    withProbeCommand([](gchar** command) {
        GPid pid = 0;
        const auto flags = static_cast<GSpawnFlags>(kQuiet | G_SPAWN_DO_NOT_REAP_CHILD);
        if (g_spawn_async(nullptr, command, nullptr, flags, nullptr, nullptr, &pid, nullptr)) pendingProbe = pid;
    });
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
    return ended == pid ? answerOf(status) : probeNow();
}

}  // namespace kwirl
