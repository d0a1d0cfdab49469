#pragma once

#include <string>

namespace relicwright {

// Marker texts that stand in the state instead of flags; decisions compare against them.
inline constexpr const char* kEmptyMarker = "<Empty>";
inline constexpr const char* kInvalidFileMarker = "Invalid File";
inline constexpr const char* kInvalidGameMarker = "Invalid Game";
inline constexpr const char* kNotSpecifiedMarker = "<not specified>";
inline constexpr const char* kNotFoundMarker = "<not found>";

// Everything the window remembers about the loaded file and the proposed output.
struct ConverterState {
    std::string sourcePath;
    std::string sourceFileName = kEmptyMarker;
    std::string sourceTitle;
    std::string sourceExtension;
    std::string decodedItemName;
    std::string outputExtension;
    std::string outputFileName;
    std::string outputPath;
    std::string targetGameText;
    std::string selectedItemText;
    std::string sourceGameText = kEmptyMarker;
    std::string itemText = kEmptyMarker;
    std::string saveFilter;

    bool operator==(const ConverterState&) const = default;
};

} // namespace relicwright
