#include "kkt/device_instance.h"

#include "kkt/storage/fiscal_storage.h"
#include "output/output_device.h"
#include "output/printer_port.h"

#include <array>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace veltrano::kkt {
namespace {

using addin::PropertyDecl;
using addin::PropKind;
using addin::PropValue;

// Where each setting lives in the instance; In works on a const and a mutable instance alike.
template <auto Member> struct Plain {
    static auto& In(auto& instance) { return instance.*Member; }
};
template <std::size_t N> struct PayName {
    static auto& In(auto& instance) { return instance.Pay[N]; }
};
template <std::size_t N, auto Member> struct Font {
    static auto& In(auto& instance) { return instance.GT[N].*Member; }
};

template <typename Locator>
using FieldType = std::remove_cvref_t<decltype(Locator::In(std::declval<DeviceInstance&>()))>;

template <typename T> constexpr PropKind KindOf() {
    if constexpr (std::is_same_v<T, bool>)
        return PropKind::Boolean;
    else if constexpr (std::is_same_v<T, std::string>)
        return PropKind::Text;
    else
        return PropKind::Integer;
}

[[noreturn]] void ValueTypeUnacceptable() {
    throw std::runtime_error("Value type unacceptable");
}

std::int64_t IntegerOf(const PropValue& value) {
    if (const std::int64_t* number = std::get_if<std::int64_t>(&value))
        return *number;
    if (const bool* flag = std::get_if<bool>(&value))
        return *flag ? 1 : 0;
    ValueTypeUnacceptable();
}

void Assign(std::int64_t& field, const PropValue& value) {
    field = IntegerOf(value);
}

// The print switches are bytes: a value that does not fit is refused rather than cut to its low byte.
void Assign(std::uint8_t& field, const PropValue& value) {
    const std::int64_t number = IntegerOf(value);
    if (number < 0 || number > std::numeric_limits<std::uint8_t>::max())
        throw std::runtime_error("Значение переключателя печати " + std::to_string(number) +
                                 " вне диапазона 0..255");
    field = static_cast<std::uint8_t>(number);
}

void Assign(bool& field, const PropValue& value) {
    if (const bool* flag = std::get_if<bool>(&value))
        field = *flag;
    else
        field = IntegerOf(value) != 0;
}

void Assign(std::string& field, const PropValue& value) {
    if (const std::string* text = std::get_if<std::string>(&value))
        field = *text;
    else
        ValueTypeUnacceptable();
}

template <typename Locator> PropValue Get(const void* object) {
    const auto& field = Locator::In(*static_cast<const DeviceInstance*>(object));
    using T = FieldType<Locator>;
    if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::string>)
        return field;
    else
        return static_cast<std::int64_t>(field);
}

template <typename Locator> void Set(void* object, const PropValue& value) {
    Assign(Locator::In(*static_cast<DeviceInstance*>(object)), value);
}

template <typename Locator> constexpr PropertyDecl Entry(std::string_view name) {
    return PropertyDecl{name, {}, {}, {}, false, KindOf<FieldType<Locator>>(), &Get<Locator>, &Set<Locator>};
}

constexpr std::array kSettings{
    Entry<Plain<&DeviceInstance::InterfaceType>>("InterfaceType"),
    Entry<Plain<&DeviceInstance::USBPort>>("USBPort"),
    Entry<Plain<&DeviceInstance::COMPort>>("COMPort"),
    Entry<Plain<&DeviceInstance::BaudRate>>("BaudRate"),
    Entry<Plain<&DeviceInstance::DataBits>>("DataBits"),
    Entry<Plain<&DeviceInstance::StopBits>>("StopBits"),
    Entry<Plain<&DeviceInstance::Parity>>("Parity"),
    Entry<Plain<&DeviceInstance::IPAddress>>("IPAddress"),
    Entry<Plain<&DeviceInstance::IPPort>>("IPPort"),
    Entry<Plain<&DeviceInstance::PrinterCodePage>>("PrinterCodePage"),
    Entry<Plain<&DeviceInstance::BarcodeHeight>>("BarcodeHeight"),
    Entry<Plain<&DeviceInstance::BarcodeSize>>("BarcodeSize"),
    Entry<Plain<&DeviceInstance::QRSize>>("QRSize"),
    Entry<Plain<&DeviceInstance::ESCInit>>("ESCInit"),
    Entry<Plain<&DeviceInstance::ESCRus>>("ESCRus"),
    Entry<Plain<&DeviceInstance::ESCRusList>>("ESCRusList"),
    Entry<Plain<&DeviceInstance::ESCCut>>("ESCCut"),
    Entry<Plain<&DeviceInstance::ESCCutList>>("ESCCutList"),
    Entry<Plain<&DeviceInstance::ESCBeep>>("ESCBeep"),
    Entry<Plain<&DeviceInstance::ESCSpeaker>>("ESCSpeaker"),
    Entry<Plain<&DeviceInstance::ESCFntBoldOn>>("ESCFntBoldOn"),
    Entry<Plain<&DeviceInstance::ESCFntBoldOff>>("ESCFntBoldOff"),
    Entry<Plain<&DeviceInstance::ESCFntItalicOn>>("ESCFntItalicOn"),
    Entry<Plain<&DeviceInstance::ESCFntItalicOff>>("ESCFntItalicOff"),
    Entry<Plain<&DeviceInstance::ESCFntUnderlineOn>>("ESCFntUnderlineOn"),
    Entry<Plain<&DeviceInstance::ESCFntUnderlineOff>>("ESCFntUnderlineOff"),
    Entry<Plain<&DeviceInstance::ESCFntInvertOn>>("ESCFntInvertOn"),
    Entry<Plain<&DeviceInstance::ESCFntInvertOff>>("ESCFntInvertOff"),
    Entry<Plain<&DeviceInstance::ESCFont1On>>("ESCFont1On"),
    Entry<Plain<&DeviceInstance::ESCFont1Off>>("ESCFont1Off"),
    Entry<Plain<&DeviceInstance::ESCFont2On>>("ESCFont2On"),
    Entry<Plain<&DeviceInstance::ESCFont2Off>>("ESCFont2Off"),
    Entry<Plain<&DeviceInstance::ESCFont3On>>("ESCFont3On"),
    Entry<Plain<&DeviceInstance::ESCFont3Off>>("ESCFont3Off"),
    Entry<Plain<&DeviceInstance::ESCCustomFontOn>>("ESCCustomFontOn"),
    Entry<Plain<&DeviceInstance::ESCCustomFontOff>>("ESCCustomFontOff"),
    Entry<PayName<0>>("Pay1"),
    Entry<PayName<1>>("Pay2"),
    Entry<PayName<2>>("Pay3"),
    Entry<PayName<3>>("Pay4"),
    Entry<PayName<4>>("Pay5"),
    Entry<PayName<5>>("Pay6"),
    Entry<PayName<6>>("Pay7"),
    Entry<PayName<7>>("Pay8"),
    Entry<Plain<&DeviceInstance::LineLength>>("LineLength"),
    Entry<Plain<&DeviceInstance::PrintOutFilePath>>("PrintOutFilePath"),
    Entry<Plain<&DeviceInstance::ShowReceiptForm>>("ShowReceiptForm"),
    Entry<Plain<&DeviceInstance::VersionFFD>>("VersionFFD"),
    Entry<Plain<&DeviceInstance::FeedLineCount>>("FeedLineCount"),
    Entry<Plain<&DeviceInstance::CutString>>("CutString"),
    Entry<Plain<&DeviceInstance::RibbonWidth>>("RibbonWidth"),
    Entry<Plain<&DeviceInstance::ChequeHeader>>("ChequeHeader"),
    Entry<Plain<&DeviceInstance::PrintFiscalSigns>>("PrintFiscalSigns"),
    Entry<Plain<&DeviceInstance::EACSize>>("EACSize"),
    Entry<Plain<&DeviceInstance::EACAlignment>>("EACAlignment"),
    Entry<Plain<&DeviceInstance::BarcodeAsPicture>>("BarcodeAsPicture"),
    Entry<Plain<&DeviceInstance::EnablePrinting>>("EnablePrinting"),
    Entry<Plain<&DeviceInstance::EnableReportPrinting>>("EnableReportPrinting"),
    Entry<Font<0, &DeviceInstance::GraphicTextFont::FontName>>("GTFontName1"),
    Entry<Font<0, &DeviceInstance::GraphicTextFont::FontSize>>("GTFontSize1"),
    Entry<Font<0, &DeviceInstance::GraphicTextFont::IsBold>>("GTIsBold1"),
    Entry<Font<0, &DeviceInstance::GraphicTextFont::IsItalic>>("GTIsItalic1"),
    Entry<Font<0, &DeviceInstance::GraphicTextFont::IsStrikeout>>("GTIsStrikeout1"),
    Entry<Font<0, &DeviceInstance::GraphicTextFont::IsUnderline>>("GTIsUnderline1"),
    Entry<Font<1, &DeviceInstance::GraphicTextFont::FontName>>("GTFontName2"),
    Entry<Font<1, &DeviceInstance::GraphicTextFont::FontSize>>("GTFontSize2"),
    Entry<Font<1, &DeviceInstance::GraphicTextFont::IsBold>>("GTIsBold2"),
    Entry<Font<1, &DeviceInstance::GraphicTextFont::IsItalic>>("GTIsItalic2"),
    Entry<Font<1, &DeviceInstance::GraphicTextFont::IsStrikeout>>("GTIsStrikeout2"),
    Entry<Font<1, &DeviceInstance::GraphicTextFont::IsUnderline>>("GTIsUnderline2"),
    Entry<Font<2, &DeviceInstance::GraphicTextFont::FontName>>("GTFontName3"),
    Entry<Font<2, &DeviceInstance::GraphicTextFont::FontSize>>("GTFontSize3"),
    Entry<Font<2, &DeviceInstance::GraphicTextFont::IsBold>>("GTIsBold3"),
    Entry<Font<2, &DeviceInstance::GraphicTextFont::IsItalic>>("GTIsItalic3"),
    Entry<Font<2, &DeviceInstance::GraphicTextFont::IsStrikeout>>("GTIsStrikeout3"),
    Entry<Font<2, &DeviceInstance::GraphicTextFont::IsUnderline>>("GTIsUnderline3"),
    Entry<Font<3, &DeviceInstance::GraphicTextFont::FontName>>("GTFontName4"),
    Entry<Font<3, &DeviceInstance::GraphicTextFont::FontSize>>("GTFontSize4"),
    Entry<Font<3, &DeviceInstance::GraphicTextFont::IsBold>>("GTIsBold4"),
    Entry<Font<3, &DeviceInstance::GraphicTextFont::IsItalic>>("GTIsItalic4"),
    Entry<Font<3, &DeviceInstance::GraphicTextFont::IsStrikeout>>("GTIsStrikeout4"),
    Entry<Font<3, &DeviceInstance::GraphicTextFont::IsUnderline>>("GTIsUnderline4"),
    Entry<Font<4, &DeviceInstance::GraphicTextFont::FontName>>("GTFontName5"),
    Entry<Font<4, &DeviceInstance::GraphicTextFont::FontSize>>("GTFontSize5"),
    Entry<Font<4, &DeviceInstance::GraphicTextFont::IsBold>>("GTIsBold5"),
    Entry<Font<4, &DeviceInstance::GraphicTextFont::IsItalic>>("GTIsItalic5"),
    Entry<Font<4, &DeviceInstance::GraphicTextFont::IsStrikeout>>("GTIsStrikeout5"),
    Entry<Font<4, &DeviceInstance::GraphicTextFont::IsUnderline>>("GTIsUnderline5"),
    Entry<Plain<&DeviceInstance::SingleCommand>>("SingleCommand"),
    Entry<Plain<&DeviceInstance::ReceiptTextAvailable>>("ReceiptTextAvailable"),
    Entry<Plain<&DeviceInstance::LogEnabled>>("LogEnabled"),
};

constexpr int GraphicTextStyleCount = 5;

} // namespace

DeviceInstance::DeviceInstance() = default;

DeviceInstance::~DeviceInstance() = default;

std::span<const addin::PropertyDecl> DeviceInstance::Settings() {
    return kSettings;
}

void DeviceInstance::Attach(std::unique_ptr<FiscalStorage> storage,
                            std::unique_ptr<output::OutputDevice> device) {
    storage_ = std::move(storage);
    device_ = std::move(device);
}

void DeviceInstance::SetPrinterPort(std::unique_ptr<output::IPrinterPort> port) {
    printerPort_ = std::move(port);
}

FiscalStorage& DeviceInstance::Storage() const {
    if (!storage_)
        throw std::runtime_error("Устройство не включено");
    return *storage_;
}

output::OutputDevice& DeviceInstance::Device() const {
    if (!device_)
        throw std::runtime_error("Устройство не включено");
    return *device_;
}

DeviceInstance::TextStyle DeviceInstance::GraphicTextStyle(int n) const {
    if (n < 1 || n > GraphicTextStyleCount)
        throw std::runtime_error("Нет стиля графического текста " + std::to_string(n));
    const GraphicTextFont& font = GT[n - 1];
    TextStyle style;
    style.FontName = font.FontName;
    style.FontSize = static_cast<int>(font.FontSize);
    if (font.IsBold)
        style.FontStyle += "bold ";
    if (font.IsItalic)
        style.FontStyle += "italic ";
    if (font.IsStrikeout)
        style.FontStyle += "strikeout ";
    if (font.IsUnderline)
        style.FontStyle += "underline";
    return style;
}

} // namespace veltrano::kkt
