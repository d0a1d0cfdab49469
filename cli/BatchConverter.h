#pragma once

#include "itemdata/GameVariant.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

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

// Converts files exactly as the window's save does for the same source, target and item entry, and
// remembers what it wrote so that one run never overwrites its own output.
class BatchConverter {
public:
    explicit BatchConverter(ConvertOptions options);

    ConversionOutcome convert(const std::string& path);

    // Converts all files as `convert` would one after another, but several at once, so that the disk
    // flushes them together. Two files that share a source or an output path still run in the
    // given order. `report` runs on the calling thread, in the given order, once the file's output
    // is durable or its conversion has failed; at most a fixed window of files is under way at once.
    void convertAll(const std::vector<std::string>& paths,
                    const std::function<void(std::size_t, const ConversionOutcome&)>& report);

    // title plus ".hif" or ".itm", beside the source or in the chosen directory.
    std::string outputPathFor(const std::string& path) const;

private:
    // Everything but remembering the output; safe to run on several threads at once.
    ConversionOutcome convertOne(const std::string& path, bool outputWrittenBefore) const;
    std::string comparablePath(const std::string& path) const;

    ConvertOptions options_;
    std::string workingDirectory_;
    std::set<std::string> written_;
};

} // namespace relicwright
