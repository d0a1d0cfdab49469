#include "ItemFileInspector.h"

#include "converter/FileChoice.h"
#include "itemdata/FileError.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileImage.h"
#include "itemdata/ItemFileIo.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace relicwright {

std::optional<GameVariant> ItemFileInspector::variantOfPath(const std::string& path) {
    std::string extension = FileChoice::fromPath(path).extension;
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return variantFromExtension(extension);
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
