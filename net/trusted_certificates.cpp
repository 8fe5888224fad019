// SPDX-License-Identifier: MIT
#include "trusted_certificates.h"

#include <utility>

namespace kwirl {

namespace {
std::string& alsoTrusted() {
    static std::string file;
    return file;
}
}  // namespace

void trustAlso(std::string pemFile) { alsoTrusted() = std::move(pemFile); }

const std::string& alsoTrustedCertificates() { return alsoTrusted(); }

}  // namespace kwirl
