#include "esc_settings.h"

#include "common/text.h"

#include <algorithm>

namespace veltrano::windows {

EscSettings::EscSettings(std::vector<window_protocol::PrinterModel> models) : models_(std::move(models)) {
    for (const window_protocol::PrinterModel& model : models_)
        items_.push_back({model.PrinterName, model.PrinterIndex});
    std::stable_sort(items_.begin(), items_.end(), [](const EscListItem& a, const EscListItem& b) {
        return text::ToLower(a.Name) < text::ToLower(b.Name);
    });
    items_.insert(items_.begin(), EscListItem{std::string(window_protocol::ManualEntryName), 0});
    Choose(0);
}

void EscSettings::Choose(std::size_t item) {
    if (item >= items_.size())
        return;
    selected_ = item;
    Apply(false);
}

void EscSettings::Edit(std::size_t row, std::string value) {
    if (row >= values_.size())
        return;
    values_[row] = std::move(value);
    selected_ = 0;
    Apply(true);
}

void EscSettings::Apply(bool fromEdit) {
    manual_ = true;
    // The first model of the table with the entry's printer index; the manual entry's index 0 names none.
    const std::int32_t index = items_[selected_].PrinterIndex;
    const auto found =
        std::find_if(models_.begin(), models_.end(),
                     [index](const window_protocol::PrinterModel& m) { return m.PrinterIndex == index; });
    if (found != models_.end()) {
        manual_ = false;
        values_ = found->Codes;
    } else if (!fromEdit) {
        values_ = EscValues{};
    }
}

} // namespace veltrano::windows
