#include "shell/MsgBoxLayout.h"

#include <cctype>

namespace glimra {

namespace {

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kBlack = 0;

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool OnlyBlanks(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

class MarkupPrinter {
 public:
  explicit MarkupPrinter(TextArea& area) : area_(area) {}

  void Render(std::string_view message) {
    message = TrimBlanks(message);
    area_.Clear();
    for (;;) {
      const std::size_t tilde = message.find('~');
      if (tilde == std::string_view::npos) {
        if (!message.empty()) PrintWrapped(message);
        return;
      }
      if (tilde > 0) PrintWrapped(message.substr(0, tilde));
      message.remove_prefix(tilde);
      const char code = message.size() > 1 ? Upper(message[1]) : '\0';
      message.remove_prefix(message.size() > 1 ? 2 : 1);
      if (code == '~') {
        PrintWrapped("~");
      } else if (code == 'C') {
        const char colour = message.empty() ? '\0' : Upper(message[0]);
        if (!message.empty()) message.remove_prefix(1);
        SetColour(colour);
      } else {
        ActOn(code);
      }
    }
  }

 private:
  static char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

  void ActOn(char code) {
    switch (code) {
      case 'B': style_.bold = !style_.bold; break;
      case 'I': style_.italic = !style_.italic; break;
      case 'U': style_.underline = !style_.underline; break;
      case 'N': NewLine(); break;
      default: break;  // an unknown code is dropped
    }
  }

  void SetColour(char letter) {
    switch (letter) {
      case 'R': style_.colour = kRed; break;
      case 'G': style_.colour = kGreen; break;
      case 'B': style_.colour = kBlue; break;
      case 'N': style_.colour = kBlack; break;
      default: break;
    }
  }

  void MakeRoom() {
    const int lineHeight = area_.LineHeight(style_);
    if (y_ + 2 * lineHeight > area_.InnerHeight())
      area_.SetOuterHeightTwips((y_ + 2 * lineHeight + 12) * area_.TwipsPerPixelY() + 30);
  }

  void NewLine() {
    wrappedLineEmpty_ = false;
    MakeRoom();
    y_ += area_.LineHeight(style_);
    x_ = kTextLeft;
  }

  // Prints a run word by word; a word carries the blank that ends it. The
  // whole word leaves the run even when wrapping trims it, and a line begun
  // by wrapping starts with its first letter, never with a blank.
  void PrintWrapped(std::string_view run) {
    while (!run.empty()) {
      const std::size_t blank = run.size() > 1 ? run.find(' ', 1) : std::string_view::npos;
      const std::size_t length = blank == std::string_view::npos ? run.size() : blank + 1;
      std::string word(run.substr(0, length));
      run.remove_prefix(length);
      if (wrappedLineEmpty_) word.erase(0, word.find_first_not_of(' '));
      if (word.empty()) continue;
      if (!wrappedLineEmpty_ && x_ + area_.TextWidth(word, style_) > area_.InnerWidth() - 2) {
        NewLine();
        wrappedLineEmpty_ = true;
        const bool endedWithBlank = word.back() == ' ';
        word = std::string(TrimBlanks(word)) + (endedWithBlank ? " " : "");
      }
      if (OnlyBlanks(word)) {
        // Blanks between two words still part them, even when a code came
        // between; a line never starts with them.
        if (x_ > kTextLeft) x_ += area_.TextWidth(word, style_);
        continue;
      }
      area_.Print(x_, y_, word, style_);
      x_ += area_.TextWidth(word, style_);
      wrappedLineEmpty_ = false;
    }
  }

  TextArea& area_;
  TextStyle style_;
  int x_ = kTextLeft;
  int y_ = kTextTop;
  bool wrappedLineEmpty_ = false;  // a line begun by wrapping, nothing printed on it yet
};

void ApplyButtonSet(MsgLayout& layout, int set) {
  static const std::array<std::array<const char*, 3>, 6> kSets = {{
      {"OK", nullptr, nullptr},
      {"Cancel", "OK", nullptr},
      {"&Ignore", "&Retry", "&Abort"},
      {"Cancel", "&No", "&Yes"},
      {"&No", "&Yes", nullptr},
      {"Cancel", "&Retry", nullptr},
  }};
  for (int index = 0; index < 3; ++index) {
    const char* caption = kSets[set][index];
    layout.buttons[index].visible = caption != nullptr;
    if (caption) layout.buttons[index].caption = caption;
  }
}

std::int32_t StripWaiting(MsgLayout& layout, std::int32_t style) {
  if (style >= 4096) {
    layout.waiting = true;
    style -= 4096;
  }
  return style;
}

// The last matching icon value wins.
std::int32_t StripIcon(MsgLayout& layout, std::int32_t style) {
  for (MsgIcon icon : {kIconInfo, kIconExclamation, kIconQuestion, kIconStop}) {
    if (style >= icon) {
      style -= icon;
      layout.icon = icon;
    }
  }
  return style;
}

}  // namespace

std::string EscapeMsgText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    escaped += c;
    if (c == '~') escaped += '~';
  }
  return escaped;
}

void RenderMarkup(TextArea& area, std::string_view message) { MarkupPrinter(area).Render(message); }

int SystemIconId(MsgIcon icon) {
  switch (icon) {
    case kIconStop: return 32513;
    case kIconQuestion: return 32514;
    case kIconExclamation: return 32515;
    case kIconInfo: return 32516;
    default: return 0;
  }
}

MsgLayout ShowMsgLayout(std::int32_t style) {
  MsgLayout layout;
  StripIcon(layout, StripWaiting(layout, style));
  ApplyButtonSet(layout, 0);
  return layout;
}

MsgLayout AskMsgLayout(std::int32_t style) {
  MsgLayout layout;
  style = StripWaiting(layout, style);
  if (style >= 512) {
    style -= 512;
    layout.focusOrder = {2, 0, 1};
  } else if (style >= 256) {
    style -= 256;
    layout.focusOrder = {1, 0, 2};
  }
  style = StripIcon(layout, style);
  if (style >= 5) {
    style -= 5;
    ApplyButtonSet(layout, 5);
  } else {
    ApplyButtonSet(layout, 0);
  }
  for (int set = 4; set >= 1; --set) {
    if (style >= set) {
      style -= set;
      ApplyButtonSet(layout, set);
    }
  }
  return layout;
}

std::int16_t AnswerForCaption(std::string_view caption) {
  static constexpr std::array<std::string_view, 7> kCaptions = {"OK",      "Cancel", "&Abort", "&Retry",
                                                                "&Ignore", "&Yes",   "&No"};
  for (std::size_t i = 0; i < kCaptions.size(); ++i)
    if (caption == kCaptions[i]) return static_cast<std::int16_t>(i + 1);
  return 0;
}

std::string MsgCaption(const std::string& versionText) { return "Glimra - " + versionText; }

}  // namespace glimra
