// SPDX-License-Identifier: MIT
#include "compiled_catalogue.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kwirl {

namespace {

constexpr std::uint32_t kMagic = 0x950412de;  // in the byte order of the machine that wrote it

struct CatalogueBytes {
    std::string bytes;
    std::string path;

    std::uint32_t word(std::uint64_t offset) const {
        if (offset + 4 > bytes.size()) throw std::runtime_error(path + " is cut short");
        std::uint32_t value;
        std::memcpy(&value, bytes.data() + offset, 4);
        return value;
    }
    // The string that the table entry at `entry` (its length, then its offset) points to.
    std::string text(std::uint64_t entry) const {
        const std::uint64_t length = word(entry);
        const std::uint64_t offset = word(entry + 4);
        if (offset + length > bytes.size()) throw std::runtime_error(path + " points past its end");
        return bytes.substr(offset, length);
    }
};

}  // namespace

std::map<std::string, std::string> readCompiledCatalogue(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    const CatalogueBytes catalogue{{std::istreambuf_iterator<char>(file), {}}, path};
    if (catalogue.word(0) != kMagic) throw std::runtime_error(path + " is not a compiled catalogue of this machine");
    const std::uint64_t count = catalogue.word(8);
    const std::uint64_t originals = catalogue.word(12);
    const std::uint64_t translations = catalogue.word(16);
    std::map<std::string, std::string> texts;
    for (std::uint64_t i = 0; i < count; ++i) {
        texts.emplace(catalogue.text(originals + 8 * i), catalogue.text(translations + 8 * i));
    }
    return texts;
}

}  // namespace kwirl
