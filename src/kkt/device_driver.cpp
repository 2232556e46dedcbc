#include "kkt/device_driver.h"

#include "output/device.h"
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
using FieldType = std::remove_cvref_t<decltype(Locator::In(std::declval<TDeviceDriver&>()))>;

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
    const auto& field = Locator::In(*static_cast<const TDeviceDriver*>(object));
    using T = FieldType<Locator>;
    if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::string>)
        return field;
    else
        return static_cast<std::int64_t>(field);
}

template <typename Locator> void Set(void* object, const PropValue& value) {
    Assign(Locator::In(*static_cast<TDeviceDriver*>(object)), value);
}

template <typename Locator> constexpr PropertyDecl Entry(std::string_view name) {
    return PropertyDecl{name, {}, {}, {}, false, KindOf<FieldType<Locator>>(), &Get<Locator>, &Set<Locator>};
}

constexpr std::array kSettings{
    Entry<Plain<&TDeviceDriver::InterfaceType>>("InterfaceType"),
    Entry<Plain<&TDeviceDriver::USBPort>>("USBPort"),
    Entry<Plain<&TDeviceDriver::COMPort>>("COMPort"),
    Entry<Plain<&TDeviceDriver::BaudRate>>("BaudRate"),
    Entry<Plain<&TDeviceDriver::DataBits>>("DataBits"),
    Entry<Plain<&TDeviceDriver::StopBits>>("StopBits"),
    Entry<Plain<&TDeviceDriver::Parity>>("Parity"),
    Entry<Plain<&TDeviceDriver::IPAddress>>("IPAddress"),
    Entry<Plain<&TDeviceDriver::IPPort>>("IPPort"),
    Entry<Plain<&TDeviceDriver::PrinterCodePage>>("PrinterCodePage"),
    Entry<Plain<&TDeviceDriver::BarcodeHeight>>("BarcodeHeight"),
    Entry<Plain<&TDeviceDriver::BarcodeSize>>("BarcodeSize"),
    Entry<Plain<&TDeviceDriver::QRSize>>("QRSize"),
    Entry<Plain<&TDeviceDriver::ESCInit>>("ESCInit"),
    Entry<Plain<&TDeviceDriver::ESCRus>>("ESCRus"),
    Entry<Plain<&TDeviceDriver::ESCRusList>>("ESCRusList"),
    Entry<Plain<&TDeviceDriver::ESCCut>>("ESCCut"),
    Entry<Plain<&TDeviceDriver::ESCCutList>>("ESCCutList"),
    Entry<Plain<&TDeviceDriver::ESCBeep>>("ESCBeep"),
    Entry<Plain<&TDeviceDriver::ESCSpeaker>>("ESCSpeaker"),
    Entry<Plain<&TDeviceDriver::ESCFntBoldOn>>("ESCFntBoldOn"),
    Entry<Plain<&TDeviceDriver::ESCFntBoldOff>>("ESCFntBoldOff"),
    Entry<Plain<&TDeviceDriver::ESCFntItalicOn>>("ESCFntItalicOn"),
    Entry<Plain<&TDeviceDriver::ESCFntItalicOff>>("ESCFntItalicOff"),
    Entry<Plain<&TDeviceDriver::ESCFntUnderlineOn>>("ESCFntUnderlineOn"),
    Entry<Plain<&TDeviceDriver::ESCFntUnderlineOff>>("ESCFntUnderlineOff"),
    Entry<Plain<&TDeviceDriver::ESCFntInvertOn>>("ESCFntInvertOn"),
    Entry<Plain<&TDeviceDriver::ESCFntInvertOff>>("ESCFntInvertOff"),
    Entry<Plain<&TDeviceDriver::ESCFont1On>>("ESCFont1On"),
    Entry<Plain<&TDeviceDriver::ESCFont1Off>>("ESCFont1Off"),
    Entry<Plain<&TDeviceDriver::ESCFont2On>>("ESCFont2On"),
    Entry<Plain<&TDeviceDriver::ESCFont2Off>>("ESCFont2Off"),
    Entry<Plain<&TDeviceDriver::ESCFont3On>>("ESCFont3On"),
    Entry<Plain<&TDeviceDriver::ESCFont3Off>>("ESCFont3Off"),
    Entry<Plain<&TDeviceDriver::ESCCustomFontOn>>("ESCCustomFontOn"),
    Entry<Plain<&TDeviceDriver::ESCCustomFontOff>>("ESCCustomFontOff"),
    Entry<PayName<0>>("Pay1"),
    Entry<PayName<1>>("Pay2"),
    Entry<PayName<2>>("Pay3"),
    Entry<PayName<3>>("Pay4"),
    Entry<PayName<4>>("Pay5"),
    Entry<PayName<5>>("Pay6"),
    Entry<PayName<6>>("Pay7"),
    Entry<PayName<7>>("Pay8"),
    Entry<Plain<&TDeviceDriver::LineLength>>("LineLength"),
    Entry<Plain<&TDeviceDriver::PrintOutFilePath>>("PrintOutFilePath"),
    Entry<Plain<&TDeviceDriver::ShowReceiptForm>>("ShowReceiptForm"),
    Entry<Plain<&TDeviceDriver::VersionFFD>>("VersionFFD"),
    Entry<Plain<&TDeviceDriver::FeedLineCount>>("FeedLineCount"),
    Entry<Plain<&TDeviceDriver::CutString>>("CutString"),
    Entry<Plain<&TDeviceDriver::RibbonWidth>>("RibbonWidth"),
    Entry<Plain<&TDeviceDriver::ChequeHeader>>("ChequeHeader"),
    Entry<Plain<&TDeviceDriver::PrintFiscalSigns>>("PrintFiscalSigns"),
    Entry<Plain<&TDeviceDriver::EACSize>>("EACSize"),
    Entry<Plain<&TDeviceDriver::EACAlignment>>("EACAlignment"),
    Entry<Plain<&TDeviceDriver::BarcodeAsPicture>>("BarcodeAsPicture"),
    Entry<Plain<&TDeviceDriver::EnablePrinting>>("EnablePrinting"),
    Entry<Plain<&TDeviceDriver::EnableReportPrinting>>("EnableReportPrinting"),
    Entry<Font<0, &TDeviceDriver::GraphicTextFont::FontName>>("GTFontName1"),
    Entry<Font<0, &TDeviceDriver::GraphicTextFont::FontSize>>("GTFontSize1"),
    Entry<Font<0, &TDeviceDriver::GraphicTextFont::IsBold>>("GTIsBold1"),
    Entry<Font<0, &TDeviceDriver::GraphicTextFont::IsItalic>>("GTIsItalic1"),
    Entry<Font<0, &TDeviceDriver::GraphicTextFont::IsStrikeout>>("GTIsStrikeout1"),
    Entry<Font<0, &TDeviceDriver::GraphicTextFont::IsUnderline>>("GTIsUnderline1"),
    Entry<Font<1, &TDeviceDriver::GraphicTextFont::FontName>>("GTFontName2"),
    Entry<Font<1, &TDeviceDriver::GraphicTextFont::FontSize>>("GTFontSize2"),
    Entry<Font<1, &TDeviceDriver::GraphicTextFont::IsBold>>("GTIsBold2"),
    Entry<Font<1, &TDeviceDriver::GraphicTextFont::IsItalic>>("GTIsItalic2"),
    Entry<Font<1, &TDeviceDriver::GraphicTextFont::IsStrikeout>>("GTIsStrikeout2"),
    Entry<Font<1, &TDeviceDriver::GraphicTextFont::IsUnderline>>("GTIsUnderline2"),
    Entry<Font<2, &TDeviceDriver::GraphicTextFont::FontName>>("GTFontName3"),
    Entry<Font<2, &TDeviceDriver::GraphicTextFont::FontSize>>("GTFontSize3"),
    Entry<Font<2, &TDeviceDriver::GraphicTextFont::IsBold>>("GTIsBold3"),
    Entry<Font<2, &TDeviceDriver::GraphicTextFont::IsItalic>>("GTIsItalic3"),
    Entry<Font<2, &TDeviceDriver::GraphicTextFont::IsStrikeout>>("GTIsStrikeout3"),
    Entry<Font<2, &TDeviceDriver::GraphicTextFont::IsUnderline>>("GTIsUnderline3"),
    Entry<Font<3, &TDeviceDriver::GraphicTextFont::FontName>>("GTFontName4"),
    Entry<Font<3, &TDeviceDriver::GraphicTextFont::FontSize>>("GTFontSize4"),
    Entry<Font<3, &TDeviceDriver::GraphicTextFont::IsBold>>("GTIsBold4"),
    Entry<Font<3, &TDeviceDriver::GraphicTextFont::IsItalic>>("GTIsItalic4"),
    Entry<Font<3, &TDeviceDriver::GraphicTextFont::IsStrikeout>>("GTIsStrikeout4"),
    Entry<Font<3, &TDeviceDriver::GraphicTextFont::IsUnderline>>("GTIsUnderline4"),
    Entry<Font<4, &TDeviceDriver::GraphicTextFont::FontName>>("GTFontName5"),
    Entry<Font<4, &TDeviceDriver::GraphicTextFont::FontSize>>("GTFontSize5"),
    Entry<Font<4, &TDeviceDriver::GraphicTextFont::IsBold>>("GTIsBold5"),
    Entry<Font<4, &TDeviceDriver::GraphicTextFont::IsItalic>>("GTIsItalic5"),
    Entry<Font<4, &TDeviceDriver::GraphicTextFont::IsStrikeout>>("GTIsStrikeout5"),
    Entry<Font<4, &TDeviceDriver::GraphicTextFont::IsUnderline>>("GTIsUnderline5"),
    Entry<Plain<&TDeviceDriver::SingleCommand>>("SingleCommand"),
    Entry<Plain<&TDeviceDriver::ReceiptTextAvailable>>("ReceiptTextAvailable"),
    Entry<Plain<&TDeviceDriver::LogEnabled>>("LogEnabled"),
};

constexpr int GraphicTextStyleCount = 5;

} // namespace

TDeviceDriver::TDeviceDriver() = default;

TDeviceDriver::~TDeviceDriver() = default;

std::span<const addin::PropertyDecl> TDeviceDriver::Settings() {
    return kSettings;
}

output::TDevice& TDeviceDriver::Device() const {
    if (!FDevice)
        throw std::runtime_error("Устройство не включено");
    return *FDevice;
}

TDeviceDriver::TGraphicTextStyle TDeviceDriver::GraphicTextStyle(int n) const {
    if (n < 1 || n > GraphicTextStyleCount)
        throw std::runtime_error("Нет стиля графического текста " + std::to_string(n));
    const GraphicTextFont& font = GT[n - 1];
    TGraphicTextStyle style;
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
