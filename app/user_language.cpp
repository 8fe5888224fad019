// SPDX-License-Identifier: MIT
#include "user_language.h"

#include <libintl.h>

#include <clocale>
#include <filesystem>
#include <string>
#include <system_error>

#include "translate.h"

namespace kwirl {

namespace {

// The catalogues lie where the package installs them, seen from the client's
// own folder (/usr/games/../share/locale). A client run from its build folder,
// by hand or by the tests, so finds the build's own catalogues, which the build
// lays out the same way beside it, and no path of the build is written into the
// program. When the client's folder cannot be read, the installed folder is
// named whole.
std::string catalogueFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path beside = program.parent_path() / KWIRL_LOCALE_DIR_FROM_PROGRAM;
        if (std::filesystem::is_directory(beside, error)) return beside.lexically_normal().string();
    }
    return KWIRL_LOCALE_DIR;
}

}  // namespace

void useTheUsersLanguage() {
    std::setlocale(LC_ALL, "");
    bindtextdomain(kTextDomain, catalogueFolder().c_str());
    // The toolkit takes UTF-8 whatever the locale's own character set.
    bind_textdomain_codeset(kTextDomain, "UTF-8");
}

}  // namespace kwirl
