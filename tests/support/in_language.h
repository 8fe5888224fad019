// SPDX-License-Identifier: MIT
#pragma once
// A language for the length of a scope: the locale, and the client's
// catalogues as the build lays them out (KWIRL_BUILD_LOCALE_DIR).

#include <libintl.h>

#include <clocale>
#include <string>

#include "translate.h"

namespace kwirl::test {

class InLanguage {
public:
    explicit InLanguage(const char* locale) : before_(std::setlocale(LC_ALL, nullptr)) {
        bindtextdomain(kTextDomain, KWIRL_BUILD_LOCALE_DIR);
        bind_textdomain_codeset(kTextDomain, "UTF-8");
        taken_ = std::setlocale(LC_ALL, locale) != nullptr;
    }
    ~InLanguage() { std::setlocale(LC_ALL, before_.c_str()); }
    InLanguage(const InLanguage&) = delete;
    InLanguage& operator=(const InLanguage&) = delete;
    bool taken() const { return taken_; }

private:
    std::string before_;
    bool taken_ = false;
};

}  // namespace kwirl::test
