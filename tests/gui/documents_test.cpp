// SPDX-License-Identifier: MIT
// The user documents (the README, the manual page, the software-centre
// description) name every key of the key table and every page button of the
// toolbar, and nothing else as such.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "key_table.h"
#include "toolbar_buttons.h"

namespace kwirl {
namespace {

using Names = std::set<std::string>;

std::string sourceFile(const std::string& path) {
    std::ifstream file(std::string(KWIRL_SOURCE_DIR) + "/" + path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The keys named in a text: a modifier and a key, a function key, or a key of its own name.
Names keysIn(const std::string& text) {
    static const std::regex key(
        R"(\b(?:(?:Alt|Ctrl|Shift|Super)\+(?:[A-Za-z]+\d*|\d)|F\d{1,2}|Esc|Backspace|Up|Down)\b)");
    Names keys;
    for (std::sregex_iterator it(text.begin(), text.end(), key), end; it != end; ++it) keys.insert(it->str());
    return keys;
}

// The README's tables of keys: their first cells.
Names readmeKeys(const std::string& readme) {
    std::string cells;
    bool inTable = false;
    for (const std::string& line : linesOf(readme)) {
        if (line.starts_with("| key | what it does |")) {
            inTable = true;
        } else if (!line.starts_with("|")) {
            inTable = false;
        } else if (inTable && !line.starts_with("|---")) {
            cells += line.substr(1, line.find('|', 1)) + "\n";
        }
    }
    return keysIn(cells);
}

// The lines of a manual page's section, up to the next one.
std::vector<std::string> manualSection(const std::string& page, const std::string& heading) {
    std::vector<std::string> section;
    bool in = false;
    for (const std::string& line : linesOf(page)) {
        if (line.starts_with(".SH ")) in = line == ".SH " + heading;
        else if (in)
            section.push_back(line);
    }
    return section;
}

// The words of a roff line set in bold: all of ".B"'s as one, or the quoted
// and the plain words of ".BR", without the separators between them.
Names boldWords(const std::string& line) {
    const std::string rest = line.substr(line.find(' ') + 1);
    if (line.starts_with(".B ")) return {std::regex_replace(rest, std::regex("\""), "")};
    Names words;
    const std::regex word(R"re("([^"]*)"|(\S+))re");
    for (std::sregex_iterator it(rest.begin(), rest.end(), word), end; it != end; ++it) {
        const std::string w = (*it)[1].matched ? (*it)[1].str() : (*it)[2].str();
        if (w.find_first_not_of(" ,") != std::string::npos && w != " and ") words.insert(w);
    }
    return words;
}

// The tags of a manual section's paragraphs (".TP"), and the first line of each.
std::vector<std::pair<std::string, std::string>> taggedParagraphs(const std::vector<std::string>& section) {
    std::vector<std::pair<std::string, std::string>> paragraphs;
    for (std::size_t i = 0; i + 2 < section.size(); ++i) {
        if (section[i] == ".TP") paragraphs.emplace_back(section[i + 1], section[i + 2]);
    }
    return paragraphs;
}

Names manualKeys(const std::string& page) {
    std::string tags;
    for (const auto& [tag, first] : taggedParagraphs(manualSection(page, "KEYS"))) tags += tag + "\n";
    return keysIn(tags);
}

Names manualPageButtons(const std::string& page) {
    Names buttons;
    for (const auto& [tag, first] : taggedParagraphs(manualSection(page, "THE TOOLBAR"))) {
        if (tag.starts_with(".B") && first.starts_with("open")) buttons.merge(boldWords(tag));
    }
    return buttons;
}

std::string between(const std::string& text, const std::string& from, const std::string& to) {
    const auto start = text.find(from);
    if (start == std::string::npos) return {};
    const auto end = text.find(to, start + from.size());
    return text.substr(start + from.size(), end == std::string::npos ? std::string::npos : end - start - from.size());
}

// The names in a list written "A, B and C", across lines.
Names listed(std::string list) {
    list = std::regex_replace(list, std::regex(R"(\s+)"), " ");
    list = std::regex_replace(list, std::regex(" and "), ", ");
    Names names;
    std::istringstream in(list);
    for (std::string name; std::getline(in, name, ',');) {
        name = std::regex_replace(name, std::regex(R"(^\s+|\s+$)"), "");
        if (!name.empty()) names.insert(name);
    }
    return names;
}

Names readmePageButtons(const std::string& readme) {
    const std::string bullet = between(readme, "small toolbar:\n\n- ", " open the");
    Names buttons;
    const std::regex bold(R"(\*\*([^*]+)\*\*)");
    for (std::sregex_iterator it(bullet.begin(), bullet.end(), bold), end; it != end; ++it) buttons.insert((*it)[1]);
    return buttons;
}

Names tableKeys() {
    Names keys;
    for (const KeyRow& row : keyRows()) {
        if (!row.name.empty()) keys.emplace(row.name);
    }
    return keys;
}

Names tablePageButtons() {
    Names buttons;
    for (const ToolbarButton& row : toolbarButtons()) {
        if (row.job == ButtonJob::OpenPage) buttons.emplace(row.caption);
    }
    return buttons;
}

TEST(Documents, NameEveryKeyAndPageButtonOfTheClientAndNoOther) {
    const std::string readme = sourceFile("README.md");
    const std::string manual = sourceFile("docs/kwirl.6.in");
    const std::string metainfo = sourceFile("packaging/io.kwirl.GameClient.metainfo.xml.in");
    ASSERT_FALSE(readme.empty() || manual.empty() || metainfo.empty());
    const struct {
        const char* document;
        Names keys, pageButtons;
    } documents[] = {
        {"README.md", readmeKeys(readme), readmePageButtons(readme)},
        {"docs/kwirl.6.in", manualKeys(manual), manualPageButtons(manual)},
        {"the metainfo", keysIn(between(metainfo, "<description>", "</description>")),
         listed(between(metainfo, "the buttons ", ", which open"))},
    };
    for (const auto& d : documents) {
        EXPECT_EQ(d.keys, tableKeys()) << d.document << " lists other keys than the key table";
        EXPECT_EQ(d.pageButtons, tablePageButtons()) << d.document << " names other page buttons than the toolbar";
    }
}

}  // namespace
}  // namespace kwirl
