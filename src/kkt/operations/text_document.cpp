#include "kkt/operations/text_document.h"

#include "common/text.h"
#include "kkt/device_instance.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/receipt_attributes.h"
#include "kkt/operations/text_document_barcode.h"
#include "kkt/operations/text_document_graphic.h"
#include "kkt/print_document.h"
#include "output/output_device.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::kkt {
namespace {

constexpr std::int64_t DefaultFontSize = 12;

void PrintTextString(DeviceInstance& instance, const std::string& line) {
    output::OutputDevice& device = instance.Device();
    if (const std::optional<GraphicTextBlock> block = FindGraphicTextBlock(line)) {
        device.PrintGraphicText(GraphicTextDescriptor(instance, *block));
        return;
    }
    // A line with the cut marker is the cut alone; the rest of it is dropped.
    if (!instance.CutMarker().empty() &&
        text::ToUpper(line).find(instance.CutMarker()) != std::string::npos) {
        device.PrintText(instance.CutMarker(), "");
        return;
    }
    device.PrintText(line, "");
}

void PrintBarcodeItem(output::OutputDevice& device, pugi::xml_node item) {
    const std::string type = ReadTextAttribute(item, "Type");
    const std::string data = BarcodeData(item);
    if (text::EqualsNoCase(type, "EAN8"))
        device.PrintBarcode(data, output::KindEAN8);
    else if (text::EqualsNoCase(type, "EAN13"))
        device.PrintBarcode(data, output::KindEAN13);
    else if (text::EqualsNoCase(type, "CODE39"))
        device.PrintBarcode(data, output::KindCode39);
    else if (text::EqualsNoCase(type, "QR"))
        device.PrintQRcode(data);
}

void PrintGraphicTextItem(output::OutputDevice& device, pugi::xml_node item) {
    auto descriptor = output::MakePrintObject(output::KindGraphicText, ReadTextAttribute(item, "Text"));
    descriptor->FontName = ReadTextAttribute(item, "FontName");
    descriptor->FontStyle = ReadTextAttribute(item, "FontStyle");
    // A size that does not fit the descriptor is as unusable as a malformed one, as in receipts.
    std::int64_t size = ReadIntegerAttribute(item, "FontSize", DefaultFontSize);
    if (size < std::numeric_limits<int>::min() || size > std::numeric_limits<int>::max())
        size = DefaultFontSize;
    descriptor->FontSize = static_cast<int>(size);
    device.PrintGraphicText(std::move(descriptor));
}

} // namespace

void PrintTextDocument(DeviceInstance& instance, const pugi::xml_document& package) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.ClearBuffer();
    const FiscalStorage::Hold hold = storage.Load();
    IncreaseCounter(storage, "TotalDocCounter");

    const pugi::xml_node document = package.child("Document");
    const pugi::xml_node positions = document.child("Positions");
    if (!document || !positions)
        throw std::runtime_error("Ошибка входных параметров команды");
    const bool noCut = ReadNoCut(document);

    for (pugi::xml_node item : positions.children()) {
        if (item.type() != pugi::node_element)
            continue;
        const std::string_view name = item.name();
        if (text::EqualsNoCase(name, "TextString"))
            PrintTextString(instance, ReadTextAttribute(item, "Text"));
        else if (text::EqualsNoCase(name, "Barcode"))
            PrintBarcodeItem(device, item);
        else if (text::EqualsNoCase(name, "GraphicText"))
            PrintGraphicTextItem(device, item);
    }

    FinishDocument(instance, "Текстовый документ");
    SaveFN(instance);
    PrintDocument(instance, noCut);
}

bool ReadNoCut(pugi::xml_node document) {
    return text::EqualsNoCase(ReadTextAttribute(document, "NoCut"), "True");
}

} // namespace veltrano::kkt
