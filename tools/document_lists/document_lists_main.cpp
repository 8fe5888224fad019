// SPDX-License-Identifier: MIT
// kwirl-document-lists: writes the user documents' lists of keys and page
// buttons from the client's tables, at build time.
//   kwirl-document-lists FOLDER [LANG=CATALOGUE.mo ...]
//     the manual page's lists in FOLDER/en and FOLDER/LANG (roff), and the
//     software-centre description's, every language in one (XML);
//   kwirl-document-lists --readme README.md
//     writes the README's marked sections anew, and the file only if they changed.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "compiled_catalogue.h"
#include "document_lists.h"

namespace {

using namespace kwirl;
namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeManualLists(const fs::path& folder, const Translate& words) {
    writeFile(folder / "man-keys.roff", manualKeys(words));
    writeFile(folder / "man-corner-buttons.roff", manualPageButtons(words, ButtonStretch::Corner));
    writeFile(folder / "man-buttons-before-numbers.roff", manualPageButtons(words, ButtonStretch::BeforeNumbers));
    writeFile(folder / "man-buttons-after-numbers.roff", manualPageButtons(words, ButtonStretch::AfterNumbers));
}

// A language's words: its catalogue's translation, or the English where it has none (as the client shows it).
Translate wordsOf(const std::string& catalogueFile) {
    auto texts = std::make_shared<const std::map<std::string, std::string>>(readCompiledCatalogue(catalogueFile));
    return [texts](const char* english) {
        const auto found = texts->find(english);
        return found == texts->end() || found->second.empty() ? std::string(english) : found->second;
    };
}

int run(const std::vector<std::string>& arguments) {
    if (arguments.size() == 2 && arguments[0] == "--readme") {
        const std::string readme = readFile(arguments[1]);
        const std::string written = readmeWithLists(readme);
        if (written != readme) writeFile(arguments[1], written);
        std::cout << arguments[1]
                  << (written == readme ? ": its lists were already the tables'\n" : ": lists written\n");
        return 0;
    }
    if (arguments.empty() || arguments[0].starts_with("-")) {
        std::cerr << "usage: kwirl-document-lists FOLDER [LANG=CATALOGUE.mo ...]\n"
                     "       kwirl-document-lists --readme README.md\n";
        return 2;
    }
    const fs::path folder = arguments[0];
    writeManualLists(folder / "en", inEnglish);
    std::vector<DocumentLanguage> others;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::size_t equals = arguments[i].find('=');
        if (equals == std::string::npos || equals == 0) throw std::runtime_error("not LANG=CATALOGUE: " + arguments[i]);
        others.push_back({arguments[i].substr(0, equals), wordsOf(arguments[i].substr(equals + 1))});
        writeManualLists(folder / others.back().code, others.back().words);
    }
    writeFile(folder / "metainfo-keys.xml", metainfoKeys(others));
    writeFile(folder / "metainfo-page-buttons.xml", metainfoPageButtons(others));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& failure) {
        std::cerr << "kwirl-document-lists: " << failure.what() << '\n';
        return 1;
    }
}
