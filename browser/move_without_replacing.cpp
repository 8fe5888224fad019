// SPDX-License-Identifier: MIT
#include "move_without_replacing.h"

#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <stdio.h>

#include <cerrno>

namespace kwirl {

bool moveWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL) return false;
    // A file system that cannot refuse to replace: looked at first.
    if (g_file_test(to.c_str(), G_FILE_TEST_EXISTS)) {
        errno = EEXIST;
        return false;
    }
    return g_rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace kwirl
