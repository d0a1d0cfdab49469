#include "ItemCatalogue.h"

#include "PathText.h"

namespace relicwright {

namespace {

struct ItemChoice {
    std::string_view text;
    std::uint8_t diabloCode; // 0: no code
    std::uint8_t hellfireCode;
};

// The item choice list with each entry's base item code in either game. The games number the
// weapons and ornaments differently, which is why a record cannot simply be relabelled.
constexpr std::array<ItemChoice, kItemChoiceCount> kItemChoices = {{
    {"--Helmets-----------------", 0, 0},    // 0
    {"Cap", 48, 48},                         // 1
    {"Skull Cap", 49, 49},                   // 2
    {"Helm", 50, 50},                        // 3
    {"Full Helm", 51, 51},                   // 4
    {"Crown", 52, 52},                       // 5
    {"Great Helm", 53, 53},                  // 6
    {"--Armours-----------------", 0, 0},    // 7
    {"Cape", 54, 54},                        // 8
    {"Rags", 55, 55},                        // 9
    {"Cloak", 56, 56},                       // 10
    {"Robe", 57, 57},                        // 11
    {"Quilted Armor", 58, 58},               // 12
    {"Leather Armor", 59, 59},               // 13
    {"Hard Leather Armor", 60, 60},          // 14
    {"Studded Leather Armor", 61, 61},       // 15
    {"Ring Mail", 62, 62},                   // 16
    {"Chain Mail", 63, 63},                  // 17
    {"Scale Mail", 64, 64},                  // 18
    {"Breast Plate", 65, 65},                // 19
    {"Splint Mail", 66, 66},                 // 20
    {"Plate Mail", 67, 67},                  // 21
    {"Field Plate", 68, 68},                 // 22
    {"Gothic Plate", 69, 69},                // 23
    {"Full Plate Mail", 70, 70},             // 24
    {"--Shields-----------------", 0, 0},    // 25
    {"Buckler", 71, 71},                     // 26
    {"Small Shield", 72, 72},                // 27
    {"Large Shield", 73, 73},                // 28
    {"Kite Shield", 74, 74},                 // 29
    {"Tower Shield", 75, 75},                // 30
    {"Gothic Shield", 76, 76},               // 31
    {"--Swords------------------", 0, 0},    // 32
    {"Dagger", 113, 118},                    // 33
    {"Short Sword", 114, 119},               // 34
    {"Falchion", 115, 120},                  // 35
    {"Scimitar", 116, 121},                  // 36
    {"Claymore", 117, 122},                  // 37
    {"Blade", 118, 123},                     // 38
    {"Sabre", 119, 124},                     // 39
    {"Long Sword", 120, 125},                // 40
    {"Broad Sword", 121, 126},               // 41
    {"Bastard Sword", 122, 127},             // 42
    {"Two-Handed Sword", 123, 128},          // 43
    {"Great Sword", 124, 129},               // 44
    {"--Axes--------------------", 0, 0},    // 45
    {"Small Axe", 125, 130},                 // 46
    {"Axe", 126, 131},                       // 47
    {"Large Axe", 127, 132},                 // 48
    {"Broad Axe", 128, 133},                 // 49
    {"Battle Axe", 129, 134},                // 50
    {"Great Axe", 130, 135},                 // 51
    {"--Other-------------------", 0, 0},    // 52
    {"Mace", 131, 136},                      // 53
    {"Morning Star", 132, 137},              // 54
    {"War Hammer", 133, 138},                // 55
    {"Spiked Club", 134, 139},               // 56
    {"Club", 135, 140},                      // 57
    {"Flail", 136, 141},                     // 58
    {"Maul", 137, 142},                      // 59
    {"--Bows--------------------", 0, 0},    // 60
    {"Short Bow", 138, 143},                 // 61
    {"Hunter's Bow", 139, 144},              // 62
    {"Long Bow", 140, 145},                  // 63
    {"Composite Bow", 141, 146},             // 64
    {"Short Battle Bow", 142, 147},          // 65
    {"Long Battle Bow", 143, 148},           // 66
    {"Short War Bow", 144, 149},             // 67
    {"Long War Bow", 145, 150},              // 68
    {"--Staffs------------------", 0, 0},    // 69
    {"Short Staff", 146, 151},               // 70
    {"Long Staff", 147, 152},                // 71
    {"Composite Staff", 148, 153},           // 72
    {"Quarter Staff", 149, 154},             // 73
    {"War Staff", 150, 155},                 // 74
    {"--Ornaments--------------", 0, 0},     // 75
    {"Ring", 151, 156},                      // 76
    {"Amulet", 154, 159},                    // 77
    {"--------Unique Items-------", 0, 0},   // 78
    {"Arkaine's Valor   (Unique)", 28, 28},  // 79
    {"Butcher's Cleaver (Unique)", 6, 6},    // 80
    {"Empyrean Band     (Unique)", 8, 8},    // 81
    {"Griswold's Edge   (Unique)", 31, 31},  // 82
    {"Harlequin Crest   (Unique)", 13, 13},  // 83
    {"Lightforge        (Unique)", 32, 32},  // 84
    {"Optic Amulet      (Unique)", 10, 10},  // 85
    {"Ring of Truth     (Unique)", 11, 11},  // 86
    {"The Undead Crown  (Unique)", 7, 7},    // 87
    {"Veil of Steel     (Unique)", 14, 14},  // 88
    {"---------Novelties---------", 0, 0},   // 89
    {"Anvil of Fury     (Novelty)", 16, 16}, // 90
    {"Black Mushroom    (Novelty)", 17, 17}, // 91
    {"Blood Stone       (Novelty)", 21, 21}, // 92
    {"Brain             (Novelty)", 18, 18}, // 93
    {"Fungal Tome       (Novelty)", 19, 19}, // 94
    {"Golden Elixir     (Novelty)", 15, 15}, // 95
    {"Magic Rock        (Novelty)", 9, 9},   // 96
    {"Map of the Stars  (Novelty)", 22, 22}, // 97
    {"Spectral Elixir   (Novelty)", 20, 20}, // 98
    {"Staff of Lazarus  (Novelty)", 33, 33}, // 99
    {"Tavern Sign       (Novelty)", 12, 12}, // 100
}};

constexpr std::array<std::string_view, kItemChoiceCount> kItemChoiceTexts = [] {
    std::array<std::string_view, kItemChoiceCount> texts{};
    for (std::size_t i = 0; i < kItemChoiceCount; ++i) {
        texts[i] = kItemChoices[i].text;
    }
    return texts;
}();

constexpr std::array<std::string_view, 2> kTargetGames = {kHellfireText, kDiabloText};

// Unique and novelty items share their codes between the games; the names are the bare ones the
// game itself uses, so "Map of Stars" differs from its list entry.
constexpr std::array<std::string_view, 17> kSpecialNamesFrom6 = {
    "Butcher's Cleaver", "The Undead Crown", "Empyrean Band",   "Magic Rock",    "Optic Amulet",
    "Ring of Truth",     "Tavern Sign",      "Harlequin Crest", "Veil of Steel", "Golden Elixir",
    "Anvil of Fury",     "Black Mushroom",   "Brain",           "Fungal Tome",   "Spectral Elixir",
    "Blood Stone",       "Map of Stars",
};

using DecodeTable = std::array<std::string_view, 256>;

constexpr DecodeTable makeDecodeTable(GameVariant variant) {
    DecodeTable table{};
    for (auto& name : table) {
        name = kNotRegisteredItem;
    }
    for (std::size_t i = 0; i < kSpecialNamesFrom6.size(); ++i) {
        table[6 + i] = kSpecialNamesFrom6[i];
    }
    table[28] = "Arkaine's Valor";
    table[31] = "Griswold's Edge";
    table[32] = "Lightforge";
    table[33] = "Staff of Lazarus";
    // Base types decode to their own list entry text; Ring and Amulet also own the codes that
    // follow their first one.
    for (std::size_t index = 1; index <= 77; ++index) {
        const ItemChoice& choice = kItemChoices[index];
        const std::uint8_t code = variant == GameVariant::Diablo ? choice.diabloCode : choice.hellfireCode;
        if (code != 0) {
            table[code] = choice.text;
        }
    }
    const std::size_t ring = variant == GameVariant::Diablo ? 151 : 156;
    const std::size_t amulet = variant == GameVariant::Diablo ? 154 : 159;
    table[ring + 1] = table[ring + 2] = "Ring";
    table[amulet + 1] = "Amulet";
    return table;
}

constexpr DecodeTable kDiabloNames = makeDecodeTable(GameVariant::Diablo);
constexpr DecodeTable kHellfireNames = makeDecodeTable(GameVariant::Hellfire);

constexpr std::size_t kFirstUniqueIndex = 78;
constexpr std::size_t kFirstNoveltyIndex = 89;

} // namespace

const std::array<std::string_view, kItemChoiceCount>& itemChoiceEntries() {
    return kItemChoiceTexts;
}

const std::array<std::string_view, 2>& targetGameEntries() {
    return kTargetGames;
}

std::string_view decodeItemName(GameVariant variant, std::uint8_t code) {
    return variant == GameVariant::Diablo ? kDiabloNames[code] : kHellfireNames[code];
}

std::uint8_t encodeListIndex(GameVariant variant, std::optional<std::size_t> index) {
    if (!index || *index >= kItemChoiceCount) {
        return 0;
    }
    const ItemChoice& choice = kItemChoices[*index];
    return variant == GameVariant::Diablo ? choice.diabloCode : choice.hellfireCode;
}

std::optional<std::uint8_t> qualityForIndex(std::size_t index) {
    if (encodeListIndex(GameVariant::Diablo, index) == 0 || index < kFirstUniqueIndex) {
        return std::nullopt;
    }
    return index >= kFirstNoveltyIndex ? std::uint8_t{0} : std::uint8_t{2};
}

std::string_view decodedNameOfIndex(std::size_t index) {
    const std::uint8_t code = encodeListIndex(GameVariant::Diablo, index);
    return code == 0 ? std::string_view() : decodeItemName(GameVariant::Diablo, code);
}

std::optional<std::size_t> entryHoldingName(std::string_view decodedName) {
    if (decodedName.empty() || decodedName == kNotRegisteredItem) {
        return std::nullopt;
    }
    for (std::size_t index = 0; index < kItemChoiceCount; ++index) {
        if (decodedNameOfIndex(index) == decodedName) {
            return index;
        }
    }
    return std::nullopt;
}

ItemProposal proposedItem(const ItemFileImage& image, GameVariant variant) {
    ItemProposal proposal;
    proposal.name = decodeItemName(variant, image[codeOffset(variant)]);
    proposal.entry = entryHoldingName(proposal.name);
    // Decoded names of base types are their entries' texts exactly, and no two entries differ only
    // in letter case, so this is what the list's own search, ignoring case, would find.
    if (proposal.entry && kItemChoiceTexts[*proposal.entry] == proposal.name) {
        proposal.selected = proposal.entry;
    }
    return proposal;
}

std::string bareEntryName(std::size_t index) {
    std::string_view text = index < kItemChoiceCount ? kItemChoiceTexts[index] : std::string_view();
    for (const std::string_view suffix : {std::string_view("(Unique)"), std::string_view("(Novelty)")}) {
        if (text.ends_with(suffix)) {
            text.remove_suffix(suffix.size());
            while (!text.empty() && text.back() == ' ') {
                text.remove_suffix(1);
            }
            break;
        }
    }
    return std::string(text);
}

std::vector<std::size_t> entriesNamed(std::string_view query) {
    const std::string wanted = normalisedName(query);
    std::vector<std::size_t> found;
    if (wanted.empty()) {
        return found;
    }
    for (std::size_t index = 0; index < kItemChoiceCount; ++index) {
        if (normalisedName(kItemChoiceTexts[index]) == wanted || normalisedName(bareEntryName(index)) == wanted ||
            normalisedName(decodedNameOfIndex(index)) == wanted) {
            found.push_back(index);
        }
    }
    return found;
}

std::string normalisedName(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    bool pendingSpace = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t') {
            pendingSpace = !result.empty();
            continue;
        }
        if (pendingSpace) {
            result.push_back(' ');
            pendingSpace = false;
        }
        result.push_back(c);
    }
    return lowerAscii(result);
}

} // namespace relicwright
