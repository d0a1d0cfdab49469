#include "ItemFileInspector.h"

#include "itemdata/FileError.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileImage.h"
#include "itemdata/ItemFileIo.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <sys/stat.h>

namespace relicwright {

std::optional<GameVariant> ItemFileInspector::variantOfPath(const std::string& path) {
    // The same split as the file dialogs' (FileChoice): the extension follows the last "." of the
    // name. Done in place, since `info` asks this for every one of thousands of files.
    std::string_view name(path);
    if (const auto slash = name.find_last_of('/'); slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view extension = name.substr(dot + 1);
    std::array<char, 3> lower{};
    if (extension.size() != lower.size()) {
        return std::nullopt;
    }
    std::transform(extension.begin(), extension.end(), lower.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return variantFromExtension(std::string_view(lower.data(), lower.size()));
}

ItemFileFacts ItemFileInspector::inspect(const std::string& path) {
    ItemFileFacts facts;
    facts.path = path;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int code = errno;
        throw FileError(causeFromErrno(code), code, path);
    }
    facts.size = static_cast<std::uint64_t>(info.st_size);
    facts.variant = variantOfPath(path);
    if (!facts.variant) {
        return facts;
    }
    ItemFileImage image{};
    readItemFile(path, image);
    facts.standardHeader = hasStandardHeader(image, *facts.variant);
    facts.code = image[codeOffset(*facts.variant)];
    facts.itemName = std::string(decodeItemName(*facts.variant, *facts.code));
    facts.quality = image[qualityOffset(*facts.variant)];
    return facts;
}

} // namespace relicwright
