// SPDX-License-Identifier: MIT
#pragma once
// A file written part by part, where every failure (disk full, closed pipe,
// no permission) is an exception naming the file and the system's reason, so
// that nothing received is lost without a word.

#include <cstddef>
#include <string>

#include "sock_errors.h"

namespace kwirl {

class TOutputFile {
public:
    // Creates the file, or truncates it; fails with Failure::CannotCreateFile.
    explicit TOutputFile(const std::string& name);
    // Closes a file that Close did not, without a word: an exception is already on its way.
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    // Writes every byte or fails with Failure::CannotWriteFile.
    void Write(const char* data, std::size_t size);
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    // The last write can fail only at the close (a network file system): reported too.
    void Close();

private:
    [[noreturn]] void fail(Failure failure) const;

    std::string name_;
    int fd_ = -1;
};

}  // namespace kwirl
