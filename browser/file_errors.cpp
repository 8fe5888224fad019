// SPDX-License-Identifier: MIT
#include "file_errors.h"

#include <glib.h>

#include <array>
#include <cerrno>

#include "translate.h"

namespace kwirl {

namespace {
// The causes a person can act on, told apart.
constexpr std::array kToldApart = {EACCES, EPERM, EROFS, ENOSPC, EDQUOT, ENAMETOOLONG, ENOENT, ENOTDIR};
}  // namespace

std::string fileWriteFailureText(int error, bool folderExists) {
    // A folder that exists and still has no place for the name (a system folder): it takes no new files.
    if (folderExists && (error == ENOENT || error == ENOTDIR))
        return tr("The file could not be written there: the folder takes no new files.");
    switch (error) {
        case EACCES:
        case EPERM: return tr("The file could not be written there: permission denied.");
        case EROFS: return tr("The file could not be written there: the folder is on a read-only file system.");
        case ENOSPC:
        case EDQUOT: return tr("The file could not be written there: the disk is full.");
        case ENAMETOOLONG: return tr("The file could not be written there: the name is too long.");
        case ENOENT:
        case ENOTDIR: return tr("The file could not be written there: the folder does not exist.");
        default: break;
    }
    return fillIn(tr("The file could not be written there (%s)."), g_strerror(error));
}

std::optional<std::string> fileWriteFailureIn(std::string_view message) {
    for (const int error : kToldApart) {
        if (message.find(g_strerror(error)) != std::string_view::npos) return fileWriteFailureText(error);
    }
    return std::nullopt;
}

}  // namespace kwirl
