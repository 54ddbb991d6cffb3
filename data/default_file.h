// The contents of a new kelbo.dat: eight levels, default best times.
#pragma once

#include <cstdint>
#include <vector>

// The 2225 bytes of the default file, in file order.
std::vector<std::uint8_t> DefaultDataFileBytes();
