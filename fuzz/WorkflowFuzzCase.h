#pragma once

#include "ScratchDirectory.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace relicwright::fuzz {

// A session of user actions against the workflow with in-memory lists, a scripted window and real
// files in a scratch directory that also holds the awkward cases: a directory, a locked file, a
// read-only file and directory, a symbolic-link loop and a dangling link, all named like item files.
// Each action is an opcode byte followed by its arguments; see Action.
class WorkflowFuzzCase {
public:
    enum Action : std::uint8_t {
        Load = 0,           // name choice, size choice (255: keep the file as it is), content bytes
        CancelOpen = 1,     //
        PickItem = 2,       // entry (255: none)
        PickTarget = 3,     // entry (255: none)
        CloseDropDown = 4,  //
        Save = 5,           // name choice
        CancelSave = 6,     //
        FailNextAction = 7, // step, error choice, occurrence: one file step of the next action fails
    };
    static constexpr std::size_t kMaxActions = 64;
    // File sizes a load's size choice names; larger choices mean twice their value. The content
    // bytes follow in the input (padded with a pattern when the input runs out).
    static constexpr std::array<std::size_t, 8> kSizes = {0, 1, 100, 399, 400, 401, 1000, 28};

    WorkflowFuzzCase();

    // The first promise the program broke on this input, or nothing when all held.
    std::optional<std::string> run(const std::uint8_t* data, std::size_t size);

private:
    ScratchDirectory scratch_;
};

} // namespace relicwright::fuzz
