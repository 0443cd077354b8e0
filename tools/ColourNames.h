// The colour names of CSS (and of SVG and X11 before it), for glimra-fade.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace glimra {

// 0xRRGGBB for a CSS colour name in any letter case ("Tomato", "rebeccapurple").
std::optional<std::uint32_t> CssColourByName(std::string_view name);

// Every name, in alphabetical order, for listing.
struct NamedColour {
  const char* name;
  std::uint32_t rgb;
};
const NamedColour* CssColourNames(std::size_t& count);

}  // namespace glimra
