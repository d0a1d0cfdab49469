#include "ReferenceConversion.h"

#include "itemdata/ItemCatalogue.h"

#include <algorithm>
#include <cstring>

namespace relicwright::fuzz {

namespace {

struct Layout {
    std::size_t headerSize;
    const char* header;
};

std::optional<Layout> layoutOf(const std::string& variantText) {
    if (variantText == "Diablo") {
        return Layout{32, "ITM01.I'll get that al'Thor!"};
    }
    if (variantText == "Hellfire") {
        return Layout{28, "HELLFIRE ITEM FILE"};
    }
    return std::nullopt;
}

constexpr std::size_t kRecordSize = 368;
constexpr std::size_t kQualityInRecord = 60;
constexpr std::size_t kCodeInRecord = 360;

} // namespace

ExpectedSave expectedSave(const ItemFileImage& shared, const std::string& sourceGameText,
                          const std::string& selectedItemText, const std::string& targetGameText,
                          std::optional<std::size_t> itemIndex, bool dialogConfirmed) {
    ExpectedSave expected;
    if (selectedItemText == "<not found>") {
        expected.outcome = ExpectedSave::Outcome::NoDialog;
        return expected;
    }
    const auto source = layoutOf(sourceGameText);
    const auto target = layoutOf(targetGameText);
    if (!dialogConfirmed || !source || !target) {
        expected.outcome = ExpectedSave::Outcome::NothingWritten;
        return expected;
    }
    const bool sameVariant = sourceGameText == targetGameText;
    const GameVariant targetVariant =
        targetGameText == "Diablo" ? GameVariant::Diablo : GameVariant::Hellfire;
    const std::uint8_t code = encodeListIndex(targetVariant, itemIndex);
    if (code == 0) {
        expected.outcome = ExpectedSave::Outcome::Refused;
        expected.message = sameVariant ? "File Not Saved! Perhaps some wrong Selections."
                                       : "File Not saved! Perhaps some wrong Selections.";
        return expected;
    }

    ItemFileImage image{};
    if (sameVariant) {
        image = shared;
    } else {
        std::memcpy(image.data(), target->header, std::strlen(target->header));
        std::copy_n(shared.begin() + static_cast<std::ptrdiff_t>(source->headerSize), kRecordSize,
                    image.begin() + static_cast<std::ptrdiff_t>(target->headerSize));
    }
    image[target->headerSize + kCodeInRecord] = code;
    if (itemIndex && *itemIndex >= 79 && *itemIndex <= 88) {
        image[target->headerSize + kQualityInRecord] = 2;
    } else if (itemIndex && *itemIndex >= 90 && *itemIndex <= 100) {
        image[target->headerSize + kQualityInRecord] = 0;
    }
    expected.outcome = ExpectedSave::Outcome::Written;
    expected.image = image;
    expected.message = sameVariant ? "File saved to Harddrive!" : "File saved to Harddrive";
    return expected;
}

ItemFileImage expectedImageAfterRead(const std::vector<std::uint8_t>& content) {
    ItemFileImage image{};
    std::copy_n(content.begin(), std::min(content.size(), image.size()), image.begin());
    return image;
}

bool isKnownDecodedName(const std::string& name) {
    if (name == "Not registered Item!!!") {
        return true;
    }
    for (std::size_t index = 0; index < kItemChoiceCount; ++index) {
        const std::string_view known = decodedNameOfIndex(index);
        if (!known.empty() && known == name) {
            return true;
        }
    }
    return false;
}

} // namespace relicwright::fuzz
