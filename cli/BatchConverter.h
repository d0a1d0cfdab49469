#pragma once

#include "itemdata/GameVariant.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace relicwright {

// The text in double quotes, as messages name entries and names.
std::string inQuotes(std::string_view text);

struct ConvertOptions {
    GameVariant target = GameVariant::Hellfire;
    // The item choice list entry to write; none means the entry the file already holds.
    std::optional<std::size_t> itemIndex;
    // At most one of these: an exact output path (one input only) or the directory for all outputs.
    std::string outputFile;
    std::string outputDirectory;
    bool force = false;
};

struct ConversionOutcome {
    bool converted = false;
    std::string outputPath; // empty when the conversion stopped before choosing one
    std::size_t itemIndex = 0;
    // Why the file was not converted; empty when it was.
    std::string message;
};

// Converts files one at a time exactly as the window's save does for the same source, target and
// item entry, and remembers what it wrote so that one run never overwrites its own output.
class BatchConverter {
public:
    explicit BatchConverter(ConvertOptions options);

    ConversionOutcome convert(const std::string& path);

    // title plus ".hif" or ".itm", beside the source or in the chosen directory.
    std::string outputPathFor(const std::string& path) const;

private:
    std::string comparablePath(const std::string& path) const;

    ConvertOptions options_;
    std::string workingDirectory_;
    std::set<std::string> written_;
};

} // namespace relicwright
