#include "SeedCorpus.h"

#include "ConvertFuzzCase.h"
#include "WorkflowFuzzCase.h"

#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileImage.h"

#include <cstdio>
#include <initializer_list>
#include <stdexcept>
#include <sys/stat.h>

namespace relicwright::fuzz {

namespace {

// A plausible item of the given game: a patterned record behind the game's header, stamped as the
// catalogue entry at the index.
Bytes itemFile(GameVariant variant, std::size_t index, std::uint8_t salt) {
    ItemFileImage hellfireLayout{};
    for (std::size_t i = 0; i < kItemRecordSize; ++i) {
        hellfireLayout[kHellfireHeaderSize + i] = static_cast<std::uint8_t>(salt + i * 31);
    }
    ItemFileImage image = buildOutputImage(hellfireLayout, GameVariant::Hellfire, GameVariant::Diablo);
    if (variant == GameVariant::Hellfire) {
        image = buildOutputImage(image, GameVariant::Diablo, GameVariant::Hellfire);
    }
    stampItem(image, variant, encodeListIndex(variant, index), index);
    return Bytes(image.begin(), image.end());
}

using C = ConvertFuzzCase;
using W = WorkflowFuzzCase;

// Load-name choices of the workflow case, by position in its name table.
enum LoadName : std::uint8_t {
    A_ITM,
    B_HIF,
    C_ITM,
    D_HIF,
    E_TXT,
    F,
    A_B_ITM,
    OUT_HIF,
    DIR_ITM,
    HELD,
    READONLY,
    LOOP,
    DANGLING,
    MISSING,
    RO_X
};
// Save-name choices.
enum SaveName : std::uint8_t {
    S_OUT_HIF,
    S_OUT_ITM,
    S_OUT,
    S_A_ITM,
    S_DIR,
    S_HELD,
    S_READONLY,
    S_RO_Y,
    S_NODIR,
    S_LOOP,
    S_DANGLING,
    S_B_HIF
};
// File steps, by position in the workflow case's step table.
enum Step : std::uint8_t { Open, Lock, Read, Write, ShortWrite, Flush, Rename, Close, RemoveTemporary };

class Session {
public:
    Session& load(std::uint8_t name, const Bytes& content) {
        bytes_.insert(bytes_.end(), {W::Load, name, static_cast<std::uint8_t>(content.size() / 2)});
        bytes_.insert(bytes_.end(), content.begin(),
                      content.begin() + static_cast<std::ptrdiff_t>(content.size() / 2 * 2));
        return *this;
    }
    // A file of one of the named sizes, its content a pattern.
    Session& loadSized(std::uint8_t name, std::uint8_t sizeChoice) {
        bytes_.insert(bytes_.end(), {W::Load, name, sizeChoice});
        for (std::size_t i = 0; i < W::kSizes[sizeChoice]; ++i) {
            bytes_.push_back(static_cast<std::uint8_t>(i * 5 + name));
        }
        return *this;
    }
    Session& loadAsIs(std::uint8_t name) {
        bytes_.insert(bytes_.end(), {W::Load, name, 255});
        return *this;
    }
    Session& op(std::uint8_t action) {
        bytes_.push_back(action);
        return *this;
    }
    Session& op(std::uint8_t action, std::uint8_t argument) {
        bytes_.insert(bytes_.end(), {action, argument});
        return *this;
    }
    Session& fail(std::uint8_t step, std::uint8_t error, std::uint8_t occurrence = 0) {
        bytes_.insert(bytes_.end(), {W::FailNextAction, step, error, occurrence});
        return *this;
    }
    Bytes bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

void writeFile(const std::string& path, const Bytes& bytes) {
    ScratchDirectory::writeBytes(path, bytes);
}

} // namespace

std::vector<Bytes> SeedCorpus::convertSeeds() {
    std::vector<Bytes> seeds;
    std::uint8_t salt = 1;
    // Genuine items of both games, saved to either game with a spread of entries.
    for (const std::size_t index :
         std::initializer_list<std::size_t>{1, 24, 33, 38, 51, 74, 76, 77, 79, 80, 88, 90, 93, 97, 100}) {
        for (const auto variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
            C::Script script;
            script.extension = variant == GameVariant::Diablo ? 0 : 1;
            script.stem = static_cast<std::uint8_t>(index % C::kNamedStems);
            script.itemMode = C::CatalogueIndex;
            script.itemValue = static_cast<std::uint8_t>((index * 7) % kItemChoiceCount);
            script.target = static_cast<std::uint8_t>(index % 3);
            script.flags = static_cast<std::uint8_t>(index % 8);
            script.content = itemFile(variant, index, salt++);
            seeds.push_back(script.toBytes());
        }
    }
    // Every named extension, awkward sizes, separators, appended entries and no selection.
    const std::size_t sizes[] = {0, 1, 399, 400, 401, 1000};
    std::uint8_t mode = 0;
    for (std::uint8_t extension = 0; extension < C::kNamedExtensions; ++extension) {
        for (const std::size_t size : sizes) {
            C::Script script;
            script.extension = extension;
            script.stem = static_cast<std::uint8_t>((extension + size) % C::kNamedStems);
            script.itemMode = static_cast<std::uint8_t>(mode++ % 5);
            script.itemValue = static_cast<std::uint8_t>(size % 251);
            script.target = static_cast<std::uint8_t>(size % 6);
            script.flags = static_cast<std::uint8_t>(extension % 8);
            Bytes content =
                itemFile(extension % 2 == 0 ? GameVariant::Diablo : GameVariant::Hellfire, 33, salt++);
            content.resize(size, 0x5A);
            script.content = content;
            seeds.push_back(script.toBytes());
        }
    }
    // An extension of raw bytes, past the named ones.
    Bytes raw = {C::kNamedExtensions, 3,  'I',           0xFF,          'm', 0,
                 C::CatalogueIndex,   33, C::PickDiablo, C::ApplyTarget};
    const Bytes item = itemFile(GameVariant::Diablo, 5, salt);
    raw.insert(raw.end(), item.begin(), item.end());
    seeds.push_back(raw);
    return seeds;
}

std::vector<Bytes> SeedCorpus::workflowSeeds() {
    const Bytes diablo = itemFile(GameVariant::Diablo, 33, 3);
    const Bytes hellfire = itemFile(GameVariant::Hellfire, 77, 4);
    const Bytes unique = itemFile(GameVariant::Diablo, 80, 5);
    std::vector<Bytes> seeds;
    // The road of one conversion, there and back.
    seeds.push_back(Session()
                        .load(A_ITM, diablo)
                        .op(W::PickItem, 33)
                        .op(W::PickTarget, 0)
                        .op(W::CloseDropDown)
                        .op(W::Save, S_OUT_HIF)
                        .loadAsIs(OUT_HIF)
                        .op(W::PickTarget, 1)
                        .op(W::CloseDropDown)
                        .op(W::Save, S_OUT_ITM)
                        .bytes());
    // Same-game saves, unique and novelty entries, separators and "<not found>".
    seeds.push_back(Session()
                        .load(B_HIF, hellfire)
                        .op(W::PickTarget, 0)
                        .op(W::Save, S_OUT_HIF)
                        .op(W::PickItem, 93)
                        .op(W::Save, S_B_HIF)
                        .op(W::PickItem, 32)
                        .op(W::Save, S_OUT)
                        .load(C_ITM, unique)
                        .op(W::Save, S_OUT_ITM)
                        .op(W::PickItem, 80)
                        .op(W::Save, S_OUT_ITM)
                        .bytes());
    // Short files after a full one: the image holds the new bytes and zeros, never the earlier file's.
    seeds.push_back(Session()
                        .load(A_ITM, diablo)
                        .loadSized(C_ITM, 0)
                        .loadAsIs(A_ITM)
                        .loadSized(C_ITM, 1)
                        .loadAsIs(A_ITM)
                        .loadSized(A_B_ITM, 2)
                        .loadAsIs(A_ITM)
                        .loadSized(A_B_ITM, 3)
                        .op(W::PickItem, 33)
                        .op(W::Save, S_OUT_HIF)
                        .bytes());
    // Invalid extensions, cancelled dialogs and saving before anything is loaded.
    seeds.push_back(Session()
                        .op(W::Save, S_OUT_HIF)
                        .op(W::CancelSave)
                        .op(W::CloseDropDown)
                        .loadSized(E_TXT, 4)
                        .loadSized(F, 0)
                        .op(W::CancelOpen)
                        .op(W::PickTarget, 2)
                        .op(W::CloseDropDown)
                        .op(W::Save, S_OUT)
                        .loadSized(D_HIF, 3)
                        .op(W::PickTarget, 3)
                        .op(W::CloseDropDown)
                        .op(W::PickItem, 255)
                        .op(W::Save, S_OUT_ITM)
                        .bytes());
    // Files that cannot be loaded or saved over.
    seeds.push_back(Session()
                        .load(A_B_ITM, diablo)
                        .loadAsIs(DIR_ITM)
                        .loadAsIs(HELD)
                        .loadAsIs(LOOP)
                        .loadAsIs(DANGLING)
                        .loadAsIs(MISSING)
                        .loadAsIs(RO_X)
                        .loadAsIs(READONLY)
                        .op(W::PickItem, 1)
                        .op(W::Save, S_DIR)
                        .op(W::Save, S_HELD)
                        .op(W::Save, S_READONLY)
                        .op(W::Save, S_RO_Y)
                        .op(W::Save, S_NODIR)
                        .op(W::Save, S_LOOP)
                        .op(W::Save, S_DANGLING)
                        .loadAsIs(DANGLING)
                        .bytes());
    // Every file step failing once, on a load and on a save over an existing file.
    for (std::uint8_t step = Open; step <= RemoveTemporary; ++step) {
        for (std::uint8_t error = 0; error < 11; error = static_cast<std::uint8_t>(error + 5)) {
            seeds.push_back(Session()
                                .load(A_ITM, diablo)
                                .op(W::PickItem, 40)
                                .op(W::Save, S_OUT_HIF)
                                .fail(step, error)
                                .loadSized(B_HIF, 4)
                                .fail(step, error, 1)
                                .op(W::Save, S_OUT_HIF)
                                .fail(step, error)
                                .op(W::Save, S_A_ITM)
                                .bytes());
        }
    }
    return seeds;
}

void SeedCorpus::writeTo(const std::string& directory) {
    auto writeAll = [&](const std::string& name, const std::vector<Bytes>& seeds) {
        const std::string folder = directory + "/" + name;
        ::mkdir(directory.c_str(), 0755);
        ::mkdir(folder.c_str(), 0755);
        for (std::size_t i = 0; i < seeds.size(); ++i) {
            char file[32];
            std::snprintf(file, sizeof file, "/seed-%03zu", i);
            writeFile(folder + file, seeds[i]);
        }
    };
    writeAll("convert", convertSeeds());
    writeAll("workflow", workflowSeeds());
}

} // namespace relicwright::fuzz
