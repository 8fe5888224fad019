// SPDX-License-Identifier: MIT
#include "home_site_rules.h"

#include <cstdio>

#include "dialogs_guard_js.h"

namespace kwirl {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A letter (in lower case), a digit, '-' or '_': written as it is in either form.
bool isPlainNameCharacter(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'; }

// A host as the rules' pattern language matches it, literally, in lower case
// (the engine matches addresses as it writes them: hosts in lower case). An
// address host keeps its brackets.
std::string patternOfHost(const std::string& host) {
    std::string pattern = host.find(':') != std::string::npos ? "\\\\[" : "";
    for (const char c : host) {
        const char lower = lowerAscii(c);
        if (isPlainNameCharacter(lower)) {
            pattern += lower;
        } else {
            pattern += "\\\\";  // a backslash, escaped for the JSON string
            pattern += lower;
        }
    }
    if (host.find(':') != std::string::npos) pattern += "\\\\]";
    return pattern;
}

// A host as a JavaScript string literal: only the characters a host may have.
std::string scriptStringOfHost(const std::string& host) {
    std::string literal = "'";
    for (const char c : host) {
        const char lower = lowerAscii(c);
        const bool plain = isPlainNameCharacter(lower) || lower == '.' || lower == ':' || lower == '[' || lower == ']';
        if (plain) {
            literal += lower;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
            literal += escaped;
        }
    }
    return literal + "'";
}

}  // namespace

std::string topPageRules(const std::string& host) {
    const std::string top = R"("resource-type": ["top-document"])";
    return "[{\"trigger\": {\"url-filter\": \".*\", " + top +
           "}, \"action\": {\"type\": \"block\"}},"
           " {\"trigger\": {\"url-filter\": \"^https?://([-a-z0-9_]+\\\\.)*" +
           patternOfHost(host) + "(:[0-9]+)?/\", " + top +
           "}, \"action\": {\"type\": \"ignore-previous-rules\"}},"
           " {\"trigger\": {\"url-filter\": \"^about:blank$\", " +
           top + "}, \"action\": {\"type\": \"ignore-previous-rules\"}}]";
}

std::string dialogsGuardScript(const std::string& host) {
    std::string script = kDialogsGuardJs;
    const std::string placeholder = "KWIRL_HOME_HOST";
    if (const auto at = script.rfind(placeholder); at != std::string::npos) {
        script.replace(at, placeholder.size(), scriptStringOfHost(host));
    }
    return script;
}

}  // namespace kwirl
