// SPDX-License-Identifier: MIT
#pragma once
// One client per data folder: a second start in the same session brings the
// first client's window forward through the session bus and ends; a start that
// finds the data folder held by a client it cannot reach (another session, a
// shell without the bus) or by `kwirl --forget` says so and ends, so that two
// processes never share the engine's stores.

#include <functional>
#include <string>

#include "data_folder_lock.h"

using GApplication = struct _GApplication;

namespace kwirl {

class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Start {
        Alone,       // this start runs the client; later ones find it
        HandedOver,  // a client of this session was asked to come forward
        Refused,     // the data folder is held by a process that could not be asked
    };
    // Registers this start with the session's bus and takes the data folder's
    // lock (once, before the engine opens its stores). A bus that cannot be
    // reached or answers with a failure never counts as "no client": then the
    // lock alone decides.
    // A later start's `address`, when it names one, is handed to this client.
    Start claim(const std::string& address = {});

    // What this client does when a later start asks it to come forward, and
    // to show `address` (empty when it names none).
    void onAnotherStart(std::function<void(const std::string& address)> comeForward);

private:
    bool registeredAsSecond();

    GApplication* application_ = nullptr;
    std::function<void(const std::string&)> comeForward_;
    DataFolderLock lock_;
};

// Why a start ends without a window, for standard error.
std::string refusedStartText();

}  // namespace kwirl
