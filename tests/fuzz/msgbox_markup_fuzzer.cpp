// The message box's markup and wrapping on any text and area: it ends, never
// prints a markup code, prints nothing left of the text's margin, and the
// area only grows; the style arithmetic gives a defined layout for any style.
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "shell/MsgBoxLayout.h"

using namespace glimra;

namespace {

class Area : public TextArea {
 public:
  Area(int width, int height, int letter) : width_(width), height_(height), letter_(letter) {}
  int TextWidth(std::string_view text, const TextStyle& style) override {
    return static_cast<int>(text.size()) * (letter_ + (style.bold ? 1 : 0));
  }
  int LineHeight(const TextStyle&) override { return 16; }
  int InnerWidth() override { return width_; }
  int InnerHeight() override { return height_; }
  void SetOuterHeightTwips(int twips) override {
    fuzz::Require(twips / 15 >= height_);
    height_ = twips / 15;
  }
  int TwipsPerPixelY() override { return 15; }
  void Clear() override { lastY_ = 0; }
  void Print(int x, int y, std::string_view text, const TextStyle&) override {
    // A tilde is printed only as what a doubled one stands for, on its own.
    fuzz::Require(!text.empty() && (text == "~" || text.find('~') == std::string_view::npos));
    fuzz::Require(x >= kTextLeft && y >= lastY_);
    lastY_ = y;
  }

 private:
  int width_, height_, letter_, lastY_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const int width = input.Take<std::uint16_t>() % 2000;
  const int letter = 1 + input.Take<std::uint8_t>() % 20;
  const std::int32_t style = input.Take<std::int32_t>();
  Area area(width, 51, letter);
  RenderMarkup(area, input.Rest());

  for (const MsgLayout& layout : {ShowMsgLayout(style), AskMsgLayout(style)}) {
    fuzz::Require(SystemIconId(layout.icon) == 0 ||
                  (SystemIconId(layout.icon) >= 32513 && SystemIconId(layout.icon) <= 32516));
    int shown = 0;
    for (const MsgButton& button : layout.buttons) shown += button.visible;
    fuzz::Require(shown >= 1 && layout.buttons[0].visible);
  }
  const std::int16_t answer = AnswerForCaption(input.Rest());
  fuzz::Require(answer >= 0 && answer <= 7);
  return 0;
}
