#include "ItemFileImage.h"

#include "ItemCatalogue.h"

#include <algorithm>

namespace relicwright {

bool hasStandardHeader(const ItemFileImage& image, GameVariant variant) {
    const std::string_view text = headerText(variant);
    for (std::size_t i = 0; i < headerSize(variant); ++i) {
        const auto expected = i < text.size() ? static_cast<std::uint8_t>(text[i]) : std::uint8_t{0};
        if (image[i] != expected) {
            return false;
        }
    }
    return true;
}

ItemFileImage buildOutputImage(const ItemFileImage& source, GameVariant sourceVariant, GameVariant target) {
    if (sourceVariant == target) {
        return source;
    }
    ItemFileImage output{};
    const std::string_view text = headerText(target);
    std::copy(text.begin(), text.end(), output.begin());
    const auto recordStart = source.begin() + static_cast<std::ptrdiff_t>(headerSize(sourceVariant));
    std::copy(recordStart, recordStart + kItemRecordSize,
              output.begin() + static_cast<std::ptrdiff_t>(headerSize(target)));
    // Whatever follows the record (the .hif tail) stays zero.
    return output;
}

void stampItem(ItemFileImage& image, GameVariant target, std::uint8_t code,
               std::optional<std::size_t> index) {
    image[codeOffset(target)] = code;
    if (index) {
        if (const auto quality = qualityForIndex(*index)) {
            image[qualityOffset(target)] = *quality;
        }
    }
}

std::optional<ItemFileImage> convertItem(const ItemFileImage& loaded, GameVariant source, GameVariant target,
                                         std::optional<std::size_t> index) {
    const std::uint8_t code = encodeListIndex(target, index);
    if (code == 0) {
        return std::nullopt;
    }
    ItemFileImage image = buildOutputImage(loaded, source, target);
    stampItem(image, target, code, index);
    return image;
}

} // namespace relicwright
