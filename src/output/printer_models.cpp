#include "output/printer_models.h"

#include "resources/resources.h"

#include <pugixml.hpp>

#include <charconv>
#include <optional>

namespace veltrano::output {
namespace {

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

} // namespace veltrano::output
