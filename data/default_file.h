// The contents of a new kelbo.dat: eight levels, default best times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The 2225 bytes of the default file, in file order.
std::vector<std::uint8_t> DefaultDataFileBytes();

// Appends a text field of the given size: the text, cut to leave room for its terminator, then
// zeros to the end of the field.
void AppendTextField(std::vector<std::uint8_t>& bytes, const std::string& text, std::size_t size);
