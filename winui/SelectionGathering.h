#pragma once

#include "GameVariant.h"

#include <string>
#include <vector>

namespace relicwright::winui {

// Explorer runs a verb's command once per selected file, each in a process of its own. The first of
// these processes for a game gathers the files of the others into its own run, so that a selection
// is converted once with one summary; the others hand their files over and end at once.
class SelectionGathering {
public:
    // The files this process is to convert: its own and those handed to it, or none when it has
    // handed its own to the process that gathers. A process that can hand nothing over keeps its own.
    static std::vector<std::string> gather(GameVariant target, std::vector<std::string> files);
};

} // namespace relicwright::winui
