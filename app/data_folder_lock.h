// SPDX-License-Identifier: MIT
#pragma once
// Whether a client runs on a data folder is a fact of the folder itself: the
// client holds a lock on a file in it for as long as it runs, and whatever
// would remove the folder (`kwirl --forget`) takes that lock first. A shell
// without the session's bus, another login or `su` sees it all the same.

#include <string>

namespace kwirl {

// The lock file's name in the client's data folder; the engine writes no file of that name.
inline constexpr const char* kDataFolderLockName = "running.lock";

class DataFolderLock {
public:
    DataFolderLock() = default;
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // Takes the lock of `folder` without waiting (the folder is made first when
    // `makeFolder` is set); false when another process holds it. Throws
    // std::runtime_error, naming the file, when the lock file cannot be opened.
    bool take(const std::string& folder, bool makeFolder);

private:
    int descriptor_ = -1;
};

}  // namespace kwirl
