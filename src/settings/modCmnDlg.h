// The colour picker's sixteen remembered custom colours, kept under
// "Custom Colors" with value names "0" to "15".
#pragma once

#include <cstdint>

#include "engine/modFade.h"

namespace glimra {

constexpr Colour kDefaultCustomColor = 16777215;  // white

// Custom colour `index`: white when missing; a stored value that is not a
// number goes to the error handler.
Colour GetCustomColor(std::int32_t index);

void SaveCustomColor(std::int32_t index, Colour colour);

}  // namespace glimra
