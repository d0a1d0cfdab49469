// Writes the seed corpus of every fuzz target: make_fuzz_corpus <directory>.
#include "SeedCorpus.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argc > 0 ? argv[0] : "make_fuzz_corpus");
        return 2;
    }
    try {
        relicwright::fuzz::SeedCorpus::writeTo(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_fuzz_corpus: %s\n", error.what());
        return 1;
    }
    return 0;
}
