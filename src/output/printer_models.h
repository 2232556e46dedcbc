// Printer models with their ESC codes, carried in the module as the "models" document, and the logic of the
// ESC code settings window: the model list, the grid of 21 codes and the switch to manual entry. The window
// itself only draws this state; the codes reach the user through the clipboard, never the settings.
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

struct ModelListItem {
    std::string Name;
    int PrinterIndex = 0;
};

// The window's state: the model list, the selected item, the grid values, and whether the grid shows manual
// entry (true) or a model's codes (false).
struct EscSettingsView {
    std::vector<ModelListItem> Items;
    std::size_t Selected = 0;
    bool ManualSettings = true;
    EscCodeValues Values;
};

// The list as shown: the manual entry first, then every model of the table (entry 0 left out) sorted by
// name, letter case aside.
std::vector<ModelListItem> ModelList(const std::vector<PrinterModel>& table);

// The window as it appears on being shown: the list built, the manual entry selected, every value empty.
EscSettingsView ShowEscSettings(const std::vector<PrinterModel>& table);

// The user picks list item `item`: a model's codes fill the grid; the manual entry clears it.
EscSettingsView SelectModel(const std::vector<PrinterModel>& table, const EscSettingsView& view,
                            std::size_t item);

// The user changes the value in grid row `row`: the list switches to the manual entry and every value,
// the new one included, stays.
EscSettingsView EditCode(const std::vector<PrinterModel>& table, const EscSettingsView& view, std::size_t row,
                         std::string value);

// Whether a data cell is drawn shaded (button face, window text) as read-only: the name column (0) always,
// the value column (1) while a model's codes are shown.
bool IsCellShaded(const EscSettingsView& view, std::size_t column);

} // namespace veltrano::output
