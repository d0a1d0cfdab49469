#pragma once

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
    // `arguments` excludes the program name.
    static int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
};

} // namespace relicwright
