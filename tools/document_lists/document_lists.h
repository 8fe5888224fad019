// SPDX-License-Identifier: MIT
#pragma once
// The lists of keys and of page buttons that the user documents give, written
// from the key table and the toolbar's table: for the manual page (roff), the
// software-centre description (AppStream XML) and the README (Markdown). A new
// key or page button is a row in a table; the documents follow.

#include <functional>
#include <string>
#include <vector>

namespace kwirl {

// A text of the client's in a language: the English given, its translation returned.
using Translate = std::function<std::string(const char*)>;

// The English itself.
std::string inEnglish(const char* text);

// A language of the documents: its code (xml:lang) and its words.
struct DocumentLanguage {
    std::string code;
    Translate words;
};

// Where a page button stands in the toolbar, which the manual page walks from
// left to right: in the corner before the drop-down, in the row before the
// number buttons, or after them.
enum class ButtonStretch { Corner, BeforeNumbers, AfterNumbers };

// The manual page's tagged paragraphs of the keys, one heading (a line of
// text) per place where keys work.
std::string manualKeys(const Translate& words);
// The manual page's tagged paragraph of each page button of a stretch.
std::string manualPageButtons(const Translate& words, ButtonStretch stretch);

// The description's lists, in English and each of `others` (xml:lang).
std::string metainfoKeys(const std::vector<DocumentLanguage>& others);
std::string metainfoPageButtons(const std::vector<DocumentLanguage>& others);

// The README's marked sections, in English: the tables of keys, and the
// sentence that names the page buttons.
std::string readmeKeys();
std::string readmePageButtons();

// The marks around a section of the README that `readmeKeys` or
// `readmePageButtons` writes, and the command that writes them.
inline constexpr const char* kReadmeCommand = "cmake --build build --target readme-lists";
struct ReadmeSection {
    const char* name;  // "keys" or "page buttons"
    std::string (*write)();
};
std::vector<ReadmeSection> readmeSections();
std::string readmeSectionStart(const ReadmeSection& section);
std::string readmeSectionEnd(const ReadmeSection& section);

// The README with each marked section written anew; throws std::runtime_error
// when a section's marks are missing.
std::string readmeWithLists(const std::string& readme);

}  // namespace kwirl
