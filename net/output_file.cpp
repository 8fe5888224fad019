// SPDX-License-Identifier: MIT
#include "output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sock_errors.h"

namespace kwirl {

TOutputFile::TOutputFile(const std::string& name) : name_(name) {
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) fail(Failure::CannotCreateFile);
}

TOutputFile::~TOutputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void TOutputFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const auto written = ::write(fd_, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) fail(Failure::CannotWriteFile);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void TOutputFile::Close() {
    const int closing = fd_;
    fd_ = -1;
    if (closing >= 0 && ::close(closing) != 0) fail(Failure::CannotWriteFile);
}

void TOutputFile::fail(Failure failure) const {
    // A write that returns 0 sets no errno: it is a full device all the same.
    const int reason = errno != 0 ? errno : ENOSPC;
    throw clientFailure(failure, {name_, std::strerror(reason)});
}

}  // namespace kwirl
