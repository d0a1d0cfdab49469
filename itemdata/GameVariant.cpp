#include "GameVariant.h"

#include "PathText.h"

namespace relicwright {

std::optional<GameVariant> variantOfPath(std::string_view path) {
    return variantFromExtension(lowerAscii(splitPath(path).extension));
}

} // namespace relicwright
