// SPDX-License-Identifier: MIT
#pragma once
// A list of request lines with header look-up by name.

#include <string>
#include <vector>

namespace kwirl {

class TExStringList {
public:
    std::vector<std::string> Lines;

    void Clear() { Lines.clear(); }
    void Add(const std::string& line) { Lines.push_back(line); }
    // Index of the first line holding ":" whose text before the first ":" equals
    // `name` regardless of case; -1 if none.
    int IndexOfHeader(const std::string& name) const;
    // A non-empty value replaces the named line (or is appended as "name: value");
    // an empty value removes the named line.
    void SetHeaderValue(const std::string& name, const std::string& value);
    // Every line followed by CR LF.
    std::string Text() const;
};

}  // namespace kwirl
