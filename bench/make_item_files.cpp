// Writes COUNT .itm files into DIR for the benchmarks: each a standard "Diablo" file holding one of
// the catalogue's items in turn, so that every one of them converts without choosing an entry.
#include "ItemCatalogue.h"
#include "ItemFileImage.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace relicwright;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DIR COUNT\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);

    std::vector<std::size_t> entries;
    for (std::size_t index = 0; index < kItemChoiceCount; ++index) {
        if (encodeListIndex(GameVariant::Diablo, index) != 0) {
            entries.push_back(index);
        }
    }
    for (long n = 0; n < count; ++n) {
        ItemFileImage image{};
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<std::uint8_t>(i * 31 + static_cast<std::size_t>(n));
        }
        const std::string_view header = kDiabloHeaderText;
        for (std::size_t i = 0; i < kDiabloHeaderSize; ++i) {
            image[i] = i < header.size() ? static_cast<std::uint8_t>(header[i]) : 0;
        }
        const std::size_t index = entries[static_cast<std::size_t>(n) % entries.size()];
        image[codeOffset(GameVariant::Diablo)] = encodeListIndex(GameVariant::Diablo, index);

        char name[32];
        std::snprintf(name, sizeof name, "/%05ld.itm", n);
        std::ofstream out(directory + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        if (!out) {
            std::perror(name);
            return 1;
        }
    }
    return 0;
}
