// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text a host shows for a parameter's value (effGetParamDisplay). A
// parameter with a value display under its knob gets the display's text;
// the others get a short text of what the value means. Within the usual
// ranges every text fits the traditional 8-byte display buffer.

#include <cstddef>

namespace ovinta {

namespace valueformat {

// Writes the text for host parameter `index` (0..46) with raw value `raw`
// into `text` (room for `capacity` bytes, NUL included). Unknown indexes get
// an empty text.
void hostParameterDisplay(int index, float raw, char* text, std::size_t capacity);

// The texts of what a raw value means, for parameters without a value
// display (the parameter table's describe column). Each writes at most
// `capacity` bytes, NUL included; capacity is at least 1.
void positionText(float v, char* text, std::size_t capacity);   // "25m"
void pannerText(float v, char* text, std::size_t capacity);     // "23"
void fractionText(float v, char* text, std::size_t capacity);   // "0.50"
void switchText(float v, char* text, std::size_t capacity);     // "ON" / "OFF"
void eqFrequencyText(float v, char* text, std::size_t capacity); // "20Hz", "2.02kHz", "16.0kHz"
void eqGainText(float v, char* text, std::size_t capacity);     // "+15.0dB"
void shelfWidthText(float v, char* text, std::size_t capacity); // "0.20"
void peakWidthText(float v, char* text, std::size_t capacity);  // "3.10oct"
void channelText(float v, char* text, std::size_t capacity);    // "-" unassigned, else from 1
void outputsText(float v, char* text, std::size_t capacity);    // "2 outs", "4 outs", "5 outs"
void wholeText(float v, char* text, std::size_t capacity);      // "12"

} // namespace valueformat

} // namespace ovinta
