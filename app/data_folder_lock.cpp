// SPDX-License-Identifier: MIT
#include "data_folder_lock.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kwirl {

DataFolderLock::~DataFolderLock() {
    if (descriptor_ >= 0) ::close(descriptor_);  // closing it lets the lock go
}

bool DataFolderLock::take(const std::string& folder, bool makeFolder) {
    if (descriptor_ >= 0) return true;
    if (makeFolder) g_mkdir_with_parents(folder.c_str(), S_IRWXU);  // the engine's stores are the player's alone
    const std::string path = folder + "/" + kDataFolderLockName;
    // Not inherited: a page process that outlived the client would keep the lock.
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
    if (descriptor < 0) throw std::runtime_error(path + ": " + std::strerror(errno));
    int taken = -1;
    do {
        taken = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (taken != 0 && errno == EINTR);
    if (taken != 0) {
        const int failure = errno;
        ::close(descriptor);
        if (failure == EWOULDBLOCK) return false;
        throw std::runtime_error(path + ": " + std::strerror(failure));
    }
    descriptor_ = descriptor;
    return true;
}

}  // namespace kwirl
