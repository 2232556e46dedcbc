// Printer models with their ESC codes, carried in the module as the "models" document and sent to the ESC
// code settings window (the window program keeps its list and grid); the codes reach the user through the
// clipboard, never the settings.
#pragma once

#include "common/window_protocol.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::output {

inline constexpr std::size_t kEscCodeCount = window_protocol::EscCodeCount;

// The codes' setting names in grid order; they are also the attribute names of the models document.
inline constexpr std::array<std::string_view, kEscCodeCount> kEscCodeNames = {
    "ESCInit",
    "ESCRus",
    "ESCCut",
    "ESCBeep",
    "ESCSpeaker",
    "ESCFntBoldOn",
    "ESCFntBoldOff",
    "ESCFntItalicOn",
    "ESCFntItalicOff",
    "ESCFntUnderlineOn",
    "ESCFntUnderlineOff",
    "ESCFntInvertOn",
    "ESCFntInvertOff",
    "ESCFont1On",
    "ESCFont1Off",
    "ESCFont2On",
    "ESCFont2Off",
    "ESCFont3On",
    "ESCFont3Off",
    "ESCCustomFontOn",
    "ESCCustomFontOff",
};

inline constexpr std::string_view kManualEntryName = window_protocol::ManualEntryName;

using EscCodeValues = std::array<std::string, kEscCodeCount>;

struct PrinterModel {
    int PrinterIndex = -1;
    std::string PrinterName;
    EscCodeValues Codes;
};

// Entry 0 is the manual entry (index 0, "Ручная установка", no codes); then one entry per child element of
// the root element "models", whatever the element is named, in document order. A missing or non-numeric
// PrinterIndex reads as -1, a missing code as empty. Text that is no models document gives the manual entry
// alone; a document broken part-way keeps what was read before the break (a model cut short keeps the
// attributes it had).
std::vector<PrinterModel> ParseModelTable(std::string_view xml);

// The table of the models document carried in the module, read once per process.
const std::vector<PrinterModel>& PrinterModels();

} // namespace veltrano::output
