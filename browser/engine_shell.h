// SPDX-License-Identifier: MIT
#pragma once
// The engine's set-up for the whole process, apart from any view, in the two
// moments it must happen. Every view of the process shares what is set here.

#include <functional>
#include <string>
#include <vector>

namespace kwirl {

// At the top of main, before the toolkit starts its threads (the engine reads
// its environment once, and setting it later would race with them), and after
// the start has met other starts on the session bus: how the engine draws
// (engine_rendering.h), a session bus that is gone replaced by an address of
// none (the engine would abort binding its socket into the sandbox), and the
// sandbox probe started, so that it runs beside the toolkit's start
// (sandbox_probe.h).
void setUpEngineBeforeToolkit();

// Before the first view, once: the client's folders made private to the
// player (site_data.h), whether web content runs in the engine's sandbox (it
// cannot where the probe failed; a gone accessibility bus only leaves web
// content unreadable by screen readers), and the stores kept across runs,
// checked first (store_check.h).
void setUpEngineBeforeFirstView();

// The certificates of the PEM file `pemFile` are taken for pages of each of
// `hostNames` as they stand, besides the system's store: a test copy of the
// client does this for its loopback portal (trusted_certificates.h); the
// client as shipped names no file. Nothing happens for an empty name; a file
// that cannot be read is told on stderr, and nothing is trusted.
void trustCertificatesFor(const std::string& pemFile, const std::vector<std::string>& hostNames);
// Tells the engine again what it was told to trust: a network process started
// after the one that was told knows nothing of it.
void renewTrustedCertificates();

// Why web pages run without the engine's sandbox, in English words; empty
// while they run in it (or before the first view).
std::string sandboxMissing();

// The engine's name, the version running and the API the client is built on,
// "WebKitGTK 2.50.6 (webkit2gtk-4.1)".
std::string engineVersion();

// Forgets everything the engine keeps for the portal: cookies (a login among
// them), the cache, local storage and databases, in memory and on disk, and
// the cookie stores set aside after a crash. `done` is called in the main
// loop once it is done, with whether the engine removed everything.
void forgetSiteData(std::function<void(bool)> done);

}  // namespace kwirl
