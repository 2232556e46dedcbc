#include "output/printer_models.h"

#include "common/text.h"
#include "resources/resources.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <optional>

namespace veltrano::output {
namespace {

enum class Source { User, Edit };

int ReadIndex(const pugi::xml_attribute& attribute) {
    const std::string_view value = attribute.value();
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (!attribute || value.empty() || error != std::errc() || end != value.data() + value.size())
        return -1;
    return number;
}

PrinterModel ReadModel(const pugi::xml_node& element) {
    PrinterModel model;
    model.PrinterIndex = ReadIndex(element.attribute("PrinterIndex"));
    model.PrinterName = element.attribute("PrinterName").value();
    for (std::size_t i = 0; i < kEscCodeCount; ++i)
        model.Codes[i] = element.attribute(std::string(kEscCodeNames[i]).c_str()).value();
    return model;
}

// Selecting an item: a model fills the grid and leaves manual entry; the manual entry (or an index no
// model carries) clears the grid when the user chose it and keeps the values when an edit led here.
EscSettingsView ApplySelection(const std::vector<PrinterModel>& table, EscSettingsView view, std::size_t item,
                               Source source) {
    view.Selected = item;
    view.ManualSettings = true;
    const int wanted = item < view.Items.size() ? view.Items[item].PrinterIndex : 0;
    const auto found = std::find_if(table.begin() + std::min<std::size_t>(1, table.size()), table.end(),
                                    [&](const PrinterModel& model) { return model.PrinterIndex == wanted; });
    if (found != table.end()) {
        view.ManualSettings = false;
        view.Values = found->Codes;
    } else if (source == Source::User) {
        view.Values = EscCodeValues{};
    }
    return view;
}

} // namespace

std::vector<PrinterModel> ParseModelTable(std::string_view xml) {
    std::vector<PrinterModel> table{PrinterModel{0, std::string(kManualEntryName), {}}};
    pugi::xml_document document;
    // A parse that stops at an error keeps the nodes read up to it; those models are taken.
    document.load_buffer(xml.data(), xml.size());
    for (const pugi::xml_node& element : document.child("models").children())
        if (element.type() == pugi::node_element)
            table.push_back(ReadModel(element));
    return table;
}

const std::vector<PrinterModel>& PrinterModels() {
    static const std::vector<PrinterModel> table = [] {
        const std::optional<std::string_view> document = resources::Find("models");
        return ParseModelTable(document ? *document : std::string_view());
    }();
    return table;
}

std::vector<ModelListItem> ModelList(const std::vector<PrinterModel>& table) {
    std::vector<ModelListItem> items;
    for (std::size_t i = 1; i < table.size(); ++i)
        items.push_back({table[i].PrinterName, table[i].PrinterIndex});
    std::stable_sort(items.begin(), items.end(), [](const ModelListItem& a, const ModelListItem& b) {
        return text::ToLower(a.Name) < text::ToLower(b.Name);
    });
    items.insert(items.begin(), ModelListItem{std::string(kManualEntryName), 0});
    return items;
}

EscSettingsView ShowEscSettings(const std::vector<PrinterModel>& table) {
    EscSettingsView view;
    view.Items = ModelList(table);
    const auto manual = std::find_if(view.Items.begin(), view.Items.end(),
                                     [](const ModelListItem& item) { return item.PrinterIndex == 0; });
    const auto item = static_cast<std::size_t>(manual - view.Items.begin());
    return ApplySelection(table, std::move(view), item, Source::User);
}

EscSettingsView SelectModel(const std::vector<PrinterModel>& table, const EscSettingsView& view,
                            std::size_t item) {
    return ApplySelection(table, view, item, Source::User);
}

EscSettingsView EditCode(const std::vector<PrinterModel>& table, const EscSettingsView& view, std::size_t row,
                         std::string value) {
    EscSettingsView edited = view;
    if (row < kEscCodeCount)
        edited.Values[row] = std::move(value);
    return ApplySelection(table, std::move(edited), 0, Source::Edit);
}

bool IsCellShaded(const EscSettingsView& view, std::size_t column) {
    return column == 0 || !view.ManualSettings;
}

} // namespace veltrano::output
