#pragma once

#include "Application.h"

#include "FileSteps.h"
#include "GameVariant.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace relicwright {

// What converting files to one game without a window came to: how many were converted, and each
// file that was not with the program's words for why. Both windows show its summary as they are
// told to convert (--convert-to), in one message box however many files there are.
class ConversionReport {
public:
    // The summary names this many files that were not converted; it counts the rest.
    static constexpr std::size_t kListedFiles = 20;

    explicit ConversionReport(GameVariant target) : target_(target) {}

    // Converts each file as `relicwright-cli convert --to` does without --item: the file's own item,
    // beside it under the name the save dialog proposes, never over an existing file. A file already
    // of the target game is reported, not converted.
    static ConversionReport run(GameVariant target, const std::vector<std::string>& files,
                                FileSteps& steps = platformFileSteps());

    void addConverted() { ++converted_; }
    void addNotConverted(const std::string& path, std::string reason);

    std::size_t convertedCount() const { return converted_; }
    const std::vector<std::pair<std::string, std::string>>& notConverted() const { return notConverted_; }

    // 0 when every file was converted, else 1.
    int status() const { return notConverted_.empty() ? 0 : 1; }
    // The one message shown at the end; empty when every file was converted, as nothing is shown.
    std::string summary() const;
    // Stop when nothing was converted, the exclamation mark when some files were.
    MessageIcon icon() const;

private:
    GameVariant target_;
    std::size_t converted_ = 0;
    std::vector<std::pair<std::string, std::string>> notConverted_; // path, reason
};

} // namespace relicwright
