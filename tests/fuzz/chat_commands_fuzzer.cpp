// The chat fader's rules on any typed line and any option values.
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "chat/ChatCommands.h"
#include "chat/MultilineText.h"

using namespace glimra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const auto useChatKW = input.Take<VBBool>(), faderOn = input.Take<VBBool>(), useMultiline = input.Take<VBBool>();
  const auto charsInLine = input.Take<std::int32_t>(), length = input.Take<std::int32_t>();
  const auto code = input.Take<std::intptr_t>();
  const auto menuValue = input.Take<std::int32_t>();
  const std::string text(input.Rest());

  const std::string normalized = NormalizeCommand(text);
  fuzz::Require(normalized.find(' ') == std::string::npos && normalized.size() <= text.size());
  CommandFor(normalized);
  const bool blank = text.find_first_not_of(' ') == std::string::npos;
  const EnterAction enter = DecideEnter(text, useChatKW, faderOn);
  fuzz::Require(!blank || enter == EnterAction::LeaveToAOL);
  fuzz::Require(enter != EnterAction::Fade || IsTrue(faderOn));
  const SendIconAction icon = DecideSendIconDown(text, faderOn);
  fuzz::Require(!blank || icon == SendIconAction::Nothing);
  DecideOverflow(useMultiline, faderOn, charsInLine, length, code);
  MenuActionFor(menuValue);
  LineLimit(faderOn, charsInLine);
  fuzz::Require(!ChatLineFor(text).empty());
  return 0;
}
