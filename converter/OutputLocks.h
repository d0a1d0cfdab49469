#pragma once

#include <optional>
#include <set>
#include <string>

namespace relicwright {

// The paths that files under way read and write, and the outputs one run has written: a file
// waits while another under way touches its source or output, so two inputs with one output
// never race, and an output this run wrote is never overwritten by it. Two spellings of one path
// ("out/a.hif", "./out/a.hif") are one path. Used from one thread.
class OutputLocks {
public:
    OutputLocks();

    // A file's source and output as claimed, in their comparable spelling.
    struct Claim {
        std::string source;
        std::string output;
    };
    // Claims both paths for one file; none, and nothing claimed, while a file under way holds either.
    std::optional<Claim> claim(const std::string& source, const std::string& output);
    // Whether this run has written the claimed output.
    bool written(const Claim& claim) const { return written_.contains(claim.output); }
    // Hands the paths back once the file is done; `written`: its output is now this run's.
    void release(const Claim& claim, bool written);

private:
    std::string comparable(const std::string& path) const;

    std::string workingDirectory_;
    std::multiset<std::string> busy_;
    std::set<std::string> written_;
};

} // namespace relicwright
