// SPDX-License-Identifier: MIT
#include "ex_string_list.h"

#include "ascii.h"

namespace kwirl {

int TExStringList::IndexOfHeader(const std::string& name) const {
    const std::string wanted = lowerAscii(name);
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const auto colon = Lines[i].find(':');
        if (colon != std::string::npos && lowerAscii(Lines[i].substr(0, colon)) == wanted) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TExStringList::SetHeaderValue(const std::string& name, const std::string& value) {
    const int found = IndexOfHeader(name);
    if (value.empty()) {
        if (found >= 0) Lines.erase(Lines.begin() + found);
        return;
    }
    const std::string line = name + ": " + value;
    if (found >= 0) Lines[static_cast<std::size_t>(found)] = line;
    else
        Lines.push_back(line);
}

std::string TExStringList::Text() const {
    std::string text;
    for (const auto& line : Lines) text += line + "\r\n";
    return text;
}

}  // namespace kwirl
