#pragma once

#include "GameVariant.h"

#include <windows.h>

namespace relicwright::winui {

// The COM classes behind Explorer's "Convert to ... item" entries, one per game converted to. The
// installer registers the same numbers (packaging/windows/relicwright.wxs.in).
inline constexpr CLSID kConvertToHellfireClass = {
    0xF2E6C720, 0xDFFA, 0x4F1E, {0xAD, 0x5F, 0x9A, 0xC9, 0x06, 0x2A, 0x7E, 0xB2}};
inline constexpr CLSID kConvertToDiabloClass = {
    0xF5582A3F, 0x6A60, 0x403D, {0xA3, 0x58, 0xEC, 0x1A, 0x19, 0xDD, 0x82, 0xC3}};

inline constexpr const CLSID& conversionClass(GameVariant target) {
    return target == GameVariant::Hellfire ? kConvertToHellfireClass : kConvertToDiabloClass;
}

} // namespace relicwright::winui
