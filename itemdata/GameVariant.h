#pragma once

#include <optional>
#include <string_view>

namespace relicwright {

// The two games whose item files we convert. The texts are what the window shows and what the
// converter's state holds; they are compared exactly.
enum class GameVariant { Diablo, Hellfire };

inline constexpr std::string_view kDiabloText = "Diablo";
inline constexpr std::string_view kHellfireText = "Hellfire";

constexpr std::string_view variantText(GameVariant variant) {
    return variant == GameVariant::Diablo ? kDiabloText : kHellfireText;
}

// Exact, case-sensitive: markers such as "<Empty>" or "diablo" are not variants.
constexpr std::optional<GameVariant> variantFromText(std::string_view text) {
    if (text == kDiabloText) {
        return GameVariant::Diablo;
    }
    if (text == kHellfireText) {
        return GameVariant::Hellfire;
    }
    return std::nullopt;
}

constexpr GameVariant otherVariant(GameVariant variant) {
    return variant == GameVariant::Diablo ? GameVariant::Hellfire : GameVariant::Diablo;
}

// File name extension (lower case, without the dot) of each variant's item files.
constexpr std::string_view variantExtension(GameVariant variant) {
    return variant == GameVariant::Diablo ? "itm" : "hif";
}

// Only "itm" and "hif" name a variant; callers lower-case the extension first.
constexpr std::optional<GameVariant> variantFromExtension(std::string_view lowerExtension) {
    if (lowerExtension == "itm") {
        return GameVariant::Diablo;
    }
    if (lowerExtension == "hif") {
        return GameVariant::Hellfire;
    }
    return std::nullopt;
}

// The variant a path's extension names, in any letter case; none for any other extension.
std::optional<GameVariant> variantOfPath(std::string_view path);

} // namespace relicwright
