#pragma once

#include <cstddef>
#include <cstdint>

namespace relicwright::testing {

// Properties the fuzz targets check on any input; a broken one aborts with a message. The normal
// suite replays them on generated inputs, so they stay honest between fuzz runs.

// One conversion: the first three bytes choose source, target and entry; the rest is the file.
void convertCase(const std::uint8_t* data, std::size_t size);

// A user session: each byte is an action on the workflow (load, pick, target change, save, with
// file steps failing on demand) with the state checked after every one.
void workflowCase(const std::uint8_t* data, std::size_t size);

} // namespace relicwright::testing
