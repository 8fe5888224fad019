// SPDX-License-Identifier: MIT
#pragma once
// A language's compiled catalogue of the client's words (a gettext .mo file,
// as msgfmt writes it from po/LANG.po), read without the C library's locale,
// which the machine that builds the documents need not have.

#include <map>
#include <string>

namespace kwirl {

// Each English text and its translation; throws std::runtime_error for a file
// that cannot be read or is not a catalogue.
std::map<std::string, std::string> readCompiledCatalogue(const std::string& path);

}  // namespace kwirl
