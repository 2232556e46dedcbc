// The ESC code settings window's state, apart from the window: the model list it offers, which entry is
// selected, and the 21 values its grid shows.
#pragma once

#include "common/window_protocol.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::windows {

using EscValues = std::array<std::string, window_protocol::EscCodeCount>;

struct EscListItem {
    std::string Name;
    std::int32_t PrinterIndex = 0;
};

class EscSettings {
public:
    // The list: the manual entry (printer index 0) first, then the models sorted by name without regard to
    // case. The manual entry is selected with every value empty.
    explicit EscSettings(std::vector<window_protocol::PrinterModel> models);

    const std::vector<EscListItem>& Items() const { return items_; }
    std::size_t Selected() const { return selected_; }
    const EscValues& Values() const { return values_; }
    // True while a model's own codes are shown; false for the manual entry or codes edited by hand.
    bool ModelShown() const { return !manual_; }

    // The user picks a list entry: a model shows its codes, the manual entry clears every value.
    void Choose(std::size_t item);
    // The user changes a value: the list switches to the manual entry and every value stays as it is.
    void Edit(std::size_t row, std::string value);

private:
    void Apply(bool fromEdit);

    std::vector<window_protocol::PrinterModel> models_;
    std::vector<EscListItem> items_;
    std::size_t selected_ = 0;
    EscValues values_;
    bool manual_ = true;
};

} // namespace veltrano::windows
