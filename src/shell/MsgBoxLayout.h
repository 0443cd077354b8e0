// The portable half of the formatted message box: the inline markup, the
// word-by-word wrapping into the text area, and the style arithmetic that
// picks the icon, the buttons and the focus order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace glimra {

struct TextStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  std::optional<std::uint32_t> colour;  // empty: the area's own fore colour
};

// The picture area the message is printed into, in pixels.
class TextArea {
 public:
  virtual ~TextArea() = default;
  virtual int TextWidth(std::string_view text, const TextStyle& style) = 0;
  virtual int LineHeight(const TextStyle& style) = 0;
  virtual int InnerWidth() = 0;
  virtual int InnerHeight() = 0;
  // Sets the outer height in twips; the inner height follows.
  virtual void SetOuterHeightTwips(int twips) = 0;
  virtual int TwipsPerPixelY() = 0;
  virtual void Clear() = 0;
  virtual void Print(int x, int y, std::string_view text, const TextStyle& style) = 0;
};

// Where the text starts: right of the icon.
constexpr int kTextLeft = 51;
constexpr int kTextTop = 6;

// Prints a marked-up message: ~B ~I ~U toggle bold, italic, underline, ~N
// breaks the line, ~C with R, G, B or N sets the colour (letters in any case),
// ~~ prints one tilde.
void RenderMarkup(TextArea& area, std::string_view message);
// Plain text (a scheme's name) for a marked-up message: its tildes doubled.
std::string EscapeMsgText(std::string_view text);

// The icons and beeps of the style's icon group.
enum MsgIcon : std::int32_t { kNoIcon = 0, kIconStop = 16, kIconQuestion = 32, kIconExclamation = 48, kIconInfo = 64 };

// The system icon resource for an icon value (IDI_HAND ... IDI_ASTERISK), 0 for none.
int SystemIconId(MsgIcon icon);

struct MsgButton {
  bool visible = false;
  std::string caption;
};

// What a style value asks of the box. buttons[0] is the rightmost button,
// the index increasing to the left; focusOrder lists button indexes.
struct MsgLayout {
  bool waiting = false;
  MsgIcon icon = kNoIcon;
  std::array<MsgButton, 3> buttons;
  std::array<int, 3> focusOrder{0, 1, 2};
};

// ShowMsg knows the waiting and icon groups only, and always shows OK.
MsgLayout ShowMsgLayout(std::int32_t style);
// AskMsg: waiting, default button, icon, then the button set.
MsgLayout AskMsgLayout(std::int32_t style);

// The answer a pressed button's caption stands for (1 OK .. 7 No); 0 for
// any other caption.
std::int16_t AnswerForCaption(std::string_view caption);

// The window caption: "Glimra - " and the version text.
std::string MsgCaption(const std::string& versionText);

}  // namespace glimra
