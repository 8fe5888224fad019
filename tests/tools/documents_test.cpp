// SPDX-License-Identifier: MIT
// The user documents (the README, the manual page and the software-centre
// description as the build makes them) name every key of the key table and
// every page button of the toolbar, and nothing else as such; the README's
// lists are what the tables give; and the German page and description say it
// in the client's own German.

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "document_lists.h"
#include "in_language.h"
#include "key_table.h"
#include "toolbar_buttons.h"
#include "translate.h"

namespace kwirl {
namespace {

using Names = std::set<std::string>;

std::string fileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string sourceFile(const std::string& path) { return fileText(std::string(KWIRL_SOURCE_DIR) + "/" + path); }
std::string builtFile(const std::string& path) { return fileText(std::string(KWIRL_BINARY_DIR) + "/" + path); }

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

std::string between(const std::string& text, const std::string& from, const std::string& to) {
    const auto start = text.find(from);
    if (start == std::string::npos) return {};
    const auto end = text.find(to, start + from.size());
    return text.substr(start + from.size(), end == std::string::npos ? std::string::npos : end - start - from.size());
}

Names boldIn(const std::string& text) {
    Names names;
    const std::regex bold(R"(\*\*([^*]+)\*\*)");
    for (std::sregex_iterator it(text.begin(), text.end(), bold), end; it != end; ++it) names.insert((*it)[1]);
    return names;
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

// A manual page as the reader sees its words: without the font changes.
std::string withoutFonts(const std::string& page) { return std::regex_replace(page, std::regex(R"(\\f[BIRP])"), ""); }

// The lines of a manual page's section, up to the next one.
std::vector<std::string> manualSection(const std::string& page, const std::string& heading) {
    std::vector<std::string> section;
    bool in = false;
    for (const std::string& line : linesOf(withoutFonts(page))) {
        if (line.starts_with(".SH ")) in = line == ".SH " + heading;
        else if (in)
            section.push_back(line);
    }
    return section;
}

// The tags of a manual section's paragraphs (".TP").
std::vector<std::string> tags(const std::vector<std::string>& section) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i + 1 < section.size(); ++i) {
        if (section[i] == ".TP") found.push_back(section[i + 1]);
    }
    return found;
}

Names manualKeys(const std::string& page) {
    std::string text;
    for (const std::string& tag : tags(manualSection(page, "KEYS"))) text += tag + "\n";
    return keysIn(text);
}

// The toolbar's controls set in bold as a paragraph's tag, but the drop-down.
Names manualPageButtons(const std::string& page) {
    Names buttons;
    for (const std::string& tag : tags(manualSection(page, "THE TOOLBAR"))) {
        if (tag.starts_with(".B ") && tag != ".B Library") buttons.insert(tag.substr(3));
    }
    return buttons;
}

// The description in English: without the elements of other languages.
std::string englishDescription(const std::string& metainfo) {
    const std::string description = between(metainfo, "<description>", "</description>");
    return std::regex_replace(description, std::regex(R"(<(\w+) xml:lang="[^"]*">[^<]*</\1>)"), "");
}

// The names of a list's items written "Name: what it does".
Names namesOfItems(const std::string& list) {
    Names names;
    const std::regex item(R"(<li>([^:<]*):)");
    for (std::sregex_iterator it(list.begin(), list.end(), item), end; it != end; ++it) names.insert((*it)[1]);
    return names;
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
    const std::string manual = builtFile("packaging/kwirl.6");
    const std::string metainfo = englishDescription(builtFile("packaging/io.kwirl.GameClient.metainfo.xml"));
    ASSERT_FALSE(readme.empty() || manual.empty() || metainfo.empty());
    const struct {
        const char* document;
        Names keys, pageButtons;
    } documents[] = {
        {"README.md", readmeKeys(readme), boldIn(between(readme, "<!-- The page buttons", "<!-- End"))},
        {"the manual page", manualKeys(manual), manualPageButtons(manual)},
        {"the metainfo", keysIn(metainfo),
         namesOfItems(between(metainfo, "<p>The buttons that open the portal's pages:</p>", "</ul>"))},
    };
    for (const auto& d : documents) {
        EXPECT_EQ(d.keys, tableKeys()) << d.document << " lists other keys than the key table";
        EXPECT_EQ(d.pageButtons, tablePageButtons()) << d.document << " names other page buttons than the toolbar";
    }
}

// The README is read where it is committed, so its lists are written by a
// command and kept: this fails until it has been run after a table changed.
TEST(Documents, ReadmeListsAreTheTables) {
    const std::string readme = sourceFile("README.md");
    ASSERT_FALSE(readme.empty());
    for (const ReadmeSection& section : readmeSections()) {
        EXPECT_EQ(between(readme, readmeSectionStart(section), readmeSectionEnd(section)),
                  "\n\n" + section.write() + "\n")
            << "README.md's " << section.name << " are not the client's tables: run " << kReadmeCommand;
    }
}

// The German page and description give each key's line and each page button
// as the client itself says them in German (its list of keys, its screen
// readers' descriptions), from the same catalogue.
TEST(Documents, GermanManualPageAndDescriptionSayTheClientsGerman) {
    const std::string manual = withoutFonts(builtFile("packaging/de/kwirl.6"));
    const std::string metainfo = builtFile("packaging/io.kwirl.GameClient.metainfo.xml");
    ASSERT_FALSE(manual.empty() || metainfo.empty());
    const test::InLanguage german("de_DE.UTF-8");
    ASSERT_TRUE(german.taken()) << "no such locale here (scripts/setup.sh makes the German one)";
    ASSERT_NE(tr("this list of keys"), "this list of keys") << "the build's German catalogue is not found";
    for (const KeyScope scope : {KeyScope::Anywhere, KeyScope::DropDown}) {
        EXPECT_NE(manual.find("\n" + tr(keyScopeHeading(scope)) + ":\n"), std::string::npos) << keyScopeHeading(scope);
    }
    for (const KeyLine& line : keyLines()) {
        const std::string keys = tr(line.keys), action = tr(line.action);
        EXPECT_NE(manual.find(".TP\n" + keys + "\n" + action + ".\n"), std::string::npos) << line.keys;
        EXPECT_NE(metainfo.find("<li xml:lang=\"de\">" + keys + ": " + action + "</li>"), std::string::npos)
            << line.keys;
    }
    for (const ToolbarButton& button : toolbarButtons()) {
        if (button.job != ButtonJob::OpenPage) continue;
        const std::string caption = button.caption, description = tr(button.description);
        EXPECT_NE(manual.find(".TP\n.B " + caption + "\n" + description + ".\n"), std::string::npos) << caption;
        EXPECT_NE(metainfo.find("<li xml:lang=\"de\">" + caption + ": " + description + "</li>"), std::string::npos)
            << caption;
    }
}

}  // namespace
}  // namespace kwirl
