// SPDX-License-Identifier: MIT
#include "document_lists.h"

#include <span>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "key_table.h"
#include "toolbar_buttons.h"

namespace kwirl {

namespace {

std::vector<std::string> partsOf(const std::string& list) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t comma; (comma = list.find(", ", start)) != std::string::npos; start = comma + 2) {
        parts.push_back(list.substr(start, comma - start));
    }
    parts.push_back(list.substr(start));
    return parts;
}

// A line's keys, each part marked where it is a key the documents name (the
// rest are words: "the mouse's back and forward buttons"). A translation's
// parts are marked as the English ones when it has as many.
struct KeyPart {
    std::string text;
    bool named;
};

std::vector<KeyPart> keyParts(std::size_t line, const Translate& words) {
    const std::vector<std::string> english = partsOf(keyLines()[line].keys);
    const std::vector<std::string> translated = partsOf(words(keyLines()[line].keys));
    std::vector<KeyPart> parts;
    for (std::size_t i = 0; i < translated.size(); ++i) {
        bool named = false;
        for (const KeyRow& row : keyRows()) {
            named = named || (translated.size() == english.size() && row.line == line && !row.name.empty() &&
                              row.name == english[i]);
        }
        parts.push_back({translated[i], named});
    }
    return parts;
}

std::vector<std::size_t> linesOf(KeyScope scope) {
    std::vector<std::size_t> lines;
    for (std::size_t line = 0; line < keyLines().size(); ++line) {
        if (keyLines()[line].scope == scope) lines.push_back(line);
    }
    return lines;
}

// The page buttons from left to right: the corner's, then the row's.
std::vector<const ToolbarButton*> pageButtonsOf(std::span<const ButtonStretch> stretches) {
    std::vector<const ToolbarButton*> buttons;
    for (const ButtonPlace place : {ButtonPlace::Corner, ButtonPlace::Row}) {
        bool pastNumbers = false;
        for (const ToolbarButton& row : toolbarButtons()) {
            if (row.place != place) continue;
            pastNumbers = pastNumbers || row.job == ButtonJob::Number;
            const ButtonStretch stretch = place == ButtonPlace::Corner ? ButtonStretch::Corner
                                          : pastNumbers                ? ButtonStretch::AfterNumbers
                                                                       : ButtonStretch::BeforeNumbers;
            if (row.job != ButtonJob::OpenPage) continue;
            for (const ButtonStretch wanted : stretches) {
                if (wanted == stretch) buttons.push_back(&row);
            }
        }
    }
    return buttons;
}

std::vector<const ToolbarButton*> allPageButtons() {
    constexpr ButtonStretch kAll[] = {ButtonStretch::Corner, ButtonStretch::BeforeNumbers, ButtonStretch::AfterNumbers};
    return pageButtonsOf(kAll);
}

// Text on a line of roff: a backslash is the escape character, and a line
// that starts with a dot or an apostrophe would be a request.
std::string roffText(const std::string& text) {
    std::string escaped = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
    for (const char c : text) escaped += c == '\\' ? std::string("\\e") : std::string(1, c);
    return escaped;
}

std::string xmlText(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '&') escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else
            escaped += c;
    }
    return escaped;
}

std::string markdownCell(const std::string& text) {
    std::string escaped;
    for (const char c : text) escaped += c == '|' ? std::string("\\|") : std::string(1, c);
    return escaped;
}

// An element of the description in English, and after it the same in each other language.
void xmlInLanguages(std::ostringstream& out, const char* indent, const char* element,
                    const std::function<std::string(const Translate&)>& text,
                    const std::vector<DocumentLanguage>& others) {
    out << indent << '<' << element << '>' << xmlText(text(inEnglish)) << "</" << element << ">\n";
    for (const DocumentLanguage& language : others) {
        out << indent << '<' << element << " xml:lang=\"" << language.code << "\">" << xmlText(text(language.words))
            << "</" << element << ">\n";
    }
}

std::string joined(const std::vector<std::string>& names) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) list += i + 1 == names.size() ? " and " : ", ";
        list += names[i];
    }
    return list;
}

}  // namespace

std::string inEnglish(const char* text) { return text; }

std::string manualKeys(const Translate& words) {
    std::ostringstream out;
    for (const KeyScope scope : kKeyScopes) {
        out << ".PP\n" << roffText(words(keyScopeHeading(scope)) + ":") << '\n';
        for (const std::size_t line : linesOf(scope)) {
            std::string tag;
            for (const KeyPart& part : keyParts(line, words)) {
                if (!tag.empty()) tag += ", ";
                tag += part.named ? "\\fB" + roffText(part.text) + "\\fR" : roffText(part.text);
            }
            out << ".TP\n" << tag << '\n' << roffText(words(keyLines()[line].action) + ".") << '\n';
        }
    }
    return out.str();
}

std::string manualPageButtons(const Translate& words, ButtonStretch stretch) {
    std::ostringstream out;
    for (const ToolbarButton* button : pageButtonsOf(std::span(&stretch, 1))) {
        out << ".TP\n.B " << roffText(button->caption) << '\n' << roffText(words(button->description) + ".") << '\n';
    }
    return out.str();
}

std::string metainfoKeys(const std::vector<DocumentLanguage>& others) {
    std::ostringstream out;
    for (const KeyScope scope : kKeyScopes) {
        xmlInLanguages(
            out, "    ", "p", [&](const Translate& words) { return words(keyScopeHeading(scope)) + ":"; }, others);
        out << "    <ul>\n";
        for (const std::size_t line : linesOf(scope)) {
            const KeyLine& keys = keyLines()[line];
            xmlInLanguages(
                out, "      ", "li",
                [&](const Translate& words) { return words(keys.keys) + ": " + words(keys.action); }, others);
        }
        out << "    </ul>\n";
    }
    return out.str();
}

std::string metainfoPageButtons(const std::vector<DocumentLanguage>& others) {
    std::ostringstream out;
    out << "    <ul>\n";
    for (const ToolbarButton* button : allPageButtons()) {
        xmlInLanguages(
            out, "      ", "li",
            [&](const Translate& words) { return std::string(button->caption) + ": " + words(button->description); },
            others);
    }
    out << "    </ul>\n";
    return out.str();
}

std::string readmeKeys() {
    std::ostringstream out;
    for (const KeyScope scope : kKeyScopes) {
        if (scope != kKeyScopes[0]) out << '\n';
        out << keyScopeHeading(scope) << ":\n\n| key | what it does |\n|---|---|\n";
        for (const std::size_t line : linesOf(scope)) {
            out << "| " << markdownCell(keyLines()[line].keys) << " | " << markdownCell(keyLines()[line].action)
                << " |\n";
        }
    }
    return out.str();
}

std::string readmePageButtons() {
    std::vector<std::string> names;
    for (const ToolbarButton* button : allPageButtons()) names.push_back(std::string("**") + button->caption + "**");
    return "The page buttons " + joined(names) + " open the portal's fixed pages.\n";
}

std::vector<ReadmeSection> readmeSections() { return {{"keys", readmeKeys}, {"page buttons", readmePageButtons}}; }

std::string readmeSectionStart(const ReadmeSection& section) {
    return std::string("<!-- The ") + section.name + ", written from the client's tables by: " + kReadmeCommand +
           " -->";
}

std::string readmeSectionEnd(const ReadmeSection& section) {
    return std::string("<!-- End of the ") + section.name + " -->";
}

std::string readmeWithLists(const std::string& readme) {
    std::string result = readme;
    for (const ReadmeSection& section : readmeSections()) {
        const std::string start = readmeSectionStart(section);
        const std::string end = readmeSectionEnd(section);
        const std::size_t from = result.find(start);
        const std::size_t to = from == std::string::npos ? from : result.find(end, from);
        if (to == std::string::npos) {
            throw std::runtime_error("README.md lacks the marks of its " + std::string(section.name) + ": \"" + start +
                                     "\" and, after it, \"" + end + "\"");
        }
        result.replace(from, to - from, start + "\n\n" + section.write() + "\n");
    }
    return result;
}

}  // namespace kwirl
