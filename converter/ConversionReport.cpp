#include "ConversionReport.h"

#include "BatchConversion.h"

#include "PathText.h"

#include <algorithm>
#include <optional>

namespace relicwright {

ConversionReport ConversionReport::run(GameVariant target, const std::vector<std::string>& files, FileSteps& steps) {
    // Its output would be the file itself: said so rather than refused as an existing output.
    auto sameGame = [&](const std::string& path) {
        return variantOfPath(path) == target;
    };
    std::vector<std::string> converting;
    for (const std::string& path : files) {
        if (!sameGame(path)) {
            converting.push_back(path);
        }
    }
    // Why each file was not converted; none for a converted one.
    std::vector<std::optional<std::string>> reasons(converting.size());
    BatchConversion conversion(ConversionOptions{target, std::nullopt, {}, {}, ExistingFile::Keep}, steps);
    conversion.run(converting, [&](std::size_t index, const ConversionOutcome& outcome) {
        if (!outcome.converted()) {
            reasons[index] = outcome.message;
        }
    });

    // In the given order, with the files of the target game among the others.
    ConversionReport report(target);
    std::size_t next = 0;
    for (const std::string& path : files) {
        if (sameGame(path)) {
            report.addNotConverted(path, "already a " + std::string(variantText(target)) + " item file");
        } else if (const auto& reason = reasons[next++]) {
            report.addNotConverted(path, *reason);
        } else {
            report.addConverted();
        }
    }
    return report;
}

void ConversionReport::addNotConverted(const std::string& path, std::string reason) {
    notConverted_.emplace_back(path, std::move(reason));
}

std::string ConversionReport::summary() const {
    if (notConverted_.empty()) {
        return {};
    }
    const std::size_t total = converted_ + notConverted_.size();
    std::string text = std::to_string(notConverted_.size()) + " of " + std::to_string(total) +
                       (total == 1 ? " file was" : " files were") + " not converted to " +
                       std::string(variantText(target_)) + ":\n";
    const std::size_t listed = std::min(notConverted_.size(), kListedFiles);
    for (std::size_t index = 0; index < listed; ++index) {
        const auto& [path, reason] = notConverted_[index];
        // The name alone: a reason names the whole path where it matters. Appended piece by piece:
        // GCC 12 at -O3 misreads `"\n" + std::string(...)` as overlapping copies.
        text += '\n';
        text.append(path, fileNameStart(path));
        text += ": ";
        text += reason;
    }
    if (listed < notConverted_.size()) {
        text += "\n... and " + std::to_string(notConverted_.size() - listed) + " more.";
    }
    return text;
}

MessageIcon ConversionReport::icon() const {
    return converted_ == 0 ? MessageIcon::Stop : MessageIcon::Exclamation;
}

} // namespace relicwright
