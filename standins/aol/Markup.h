// AOL's chat and mail markup (a small HTML subset) split into styled runs.
// Unknown tags are dropped, a "<" that does not open a tag is text, and no
// input is too odd: every byte ends up in a run or in a dropped tag.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace waol {

constexpr std::uint32_t kDefaultColour = 0xFFFFFFFF;

struct Run {
  std::string text;
  std::uint32_t colour = kDefaultColour;  // 0x00BBGGRR, or kDefaultColour
  bool bold = false, italic = false, underline = false, superscript = false, subscript = false, link = false;
};

std::vector<Run> ParseMarkup(const std::string& markup);

// The runs' text without any markup.
std::string PlainText(const std::vector<Run>& runs);

}  // namespace waol
