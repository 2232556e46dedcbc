// Printer command strings: decimal byte values joined by "+" ("27+64"), decoded once at connection.
#pragma once

#include <string>
#include <string_view>

namespace veltrano::output {

// Splits at "+", "-", " ", ".", ";" and ","; every piece that reads as an integer is one byte, other pieces
// are skipped. A number above 255 gives its low byte (300 is 44); one too long to read as a number is
// skipped. An empty or unreadable setting gives an empty command, which sends nothing.
std::string ParseEscCode(std::string_view code);

struct EscCodes {
    std::string ESCInit, ESCRus, ESCProgon, ESCCut, ESCBeep, ESCSpeaker;
    std::string ESCFntBoldOn, ESCFntBoldOff, ESCFntItalicOn, ESCFntItalicOff;
    std::string ESCFntUnderlineOn, ESCFntUnderlineOff, ESCFntInvertOn, ESCFntInvertOff;
    std::string ESCFont1On, ESCFont1Off, ESCFont2On, ESCFont2Off, ESCFont3On, ESCFont3Off;
    std::string ESCCustomFontOn, ESCCustomFontOff;
};

} // namespace veltrano::output
