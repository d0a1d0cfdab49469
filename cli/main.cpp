#include "CommandLine.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Listings of thousands of files: no need to keep the C streams in step.
    std::ios::sync_with_stdio(false);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status = relicwright::CommandLine::run(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
