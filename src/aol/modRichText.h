// Rich mail text through the clipboard in AOL's own mail format, "AOLMAIL".
#pragma once

#include <string>

namespace glimra {

class FormWindow;

// The text the clipboard holds as "AOLMAIL"; empty when there is none.
std::string GetRichText(FormWindow& owner);
// Replaces the clipboard's contents with `text` as "AOLMAIL"; false when the
// clipboard stayed locked (it is left as it was).
bool PutRichText(FormWindow& owner, const std::string& text);

}  // namespace glimra
