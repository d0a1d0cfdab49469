#pragma once

#include "FileError.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace relicwright {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1; // some file failed or was refused
inline constexpr int kExitUsage = 2;

// relicwright-cli as a function: results go to `out`, messages to `err`, and the exit status is
// returned, so the whole program can run inside a test.
class CommandLine {
public:
    // `arguments` excludes the program name. An argument that is no text (a Windows name with a
    // lone surrogate) stands in `arguments` as its refusal's path and is in `refused`: as one of
    // the files it fails alone, the others go on; as an output it stops the command.
    static int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   const std::vector<FileError>& refused = {});
};

} // namespace relicwright
