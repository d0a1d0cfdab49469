#pragma once

#include <cstddef>
#include <cstdint>

namespace relicwright::testing {

// Properties the fuzz targets check; the normal suite replays them on generated inputs too.

// One conversion: the first three bytes choose source, target and entry; the rest is the file.
void convertCase(const std::uint8_t* data, std::size_t size);

// A user session: each byte an action (load, pick, target, save, failing steps), state checked after each.
void workflowCase(const std::uint8_t* data, std::size_t size);

} // namespace relicwright::testing
