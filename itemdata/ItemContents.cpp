#include "ItemContents.h"

#include "ItemCatalogue.h"
#include "ItemFileImage.h"
#include "ItemFileIo.h"

namespace relicwright {

ItemContents readItemContents(FileSteps& steps, const std::string& path, GameVariant variant) {
    ItemFileImage image{};
    ItemContents contents;
    contents.fileSize = readItemFile(steps, path, image);
    contents.standardHeader = hasStandardHeader(image, variant);
    contents.code = image[codeOffset(variant)];
    contents.itemName = decodeItemName(variant, contents.code);
    contents.quality = image[qualityOffset(variant)];
    return contents;
}

} // namespace relicwright
