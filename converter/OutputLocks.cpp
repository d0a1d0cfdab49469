#include "OutputLocks.h"

#include "Utf8Path.h"

#include <system_error>

namespace relicwright {

OutputLocks::OutputLocks() {
    std::error_code error;
    workingDirectory_ = utf8Of(std::filesystem::current_path(error));
}

std::string OutputLocks::comparable(const std::string& path) const {
    const std::filesystem::path given = pathFromUtf8(path);
    if (given.is_absolute() || workingDirectory_.empty()) {
        return utf8Of(given.lexically_normal());
    }
    return utf8Of((pathFromUtf8(workingDirectory_) / given).lexically_normal());
}

std::optional<OutputLocks::Claim> OutputLocks::claim(const std::string& source, const std::string& output) {
    Claim claim{comparable(source), comparable(output)};
    if (busy_.contains(claim.source) || busy_.contains(claim.output)) {
        return std::nullopt;
    }
    busy_.insert(claim.source);
    busy_.insert(claim.output);
    return claim;
}

void OutputLocks::release(const Claim& claim, bool written) {
    busy_.erase(busy_.find(claim.source));
    busy_.erase(busy_.find(claim.output));
    if (written) {
        written_.insert(claim.output);
    }
}

} // namespace relicwright
