#pragma once
// The text a host shows for a parameter's value (effGetParamDisplay). A
// parameter with a value display under its knob gets the display's text;
// the others get a short text of what the value means. Within the usual
// ranges every text fits the traditional 8-byte display buffer.

#include <cstddef>

namespace valueformat {

// Writes the text for host parameter `index` (0..46) with raw value `raw`
// into `text` (room for `capacity` bytes, NUL included). Unknown indexes get
// an empty text.
void hostParameterDisplay(int index, float raw, char* text, std::size_t capacity);

} // namespace valueformat
