#include "output/escpos/document_stream.h"

#include "output/escpos/code_page.h"
#include "output/markup.h"
#include "output/picture/qr_encoder.h"

#include <algorithm>

namespace veltrano::output {
namespace {

constexpr char Esc = 0x1B;
constexpr char Gs = 0x1D;
constexpr std::string_view LineEnd = "\r\n";
// The data bits of a version-40 symbol at error correction level M, the level the QR commands select.
constexpr int QrVersion40MediumBits = 2334 * 8;

// The tags' codes in table order: the logo tag stays for the line to handle, graphic-text tags go.
TagCodes PrinterTagCodes(const EscCodes& codes) {
    TagCodes table{codes.ESCFntBoldOn,    codes.ESCFntBoldOff,     codes.ESCFntItalicOn,
                   codes.ESCFntItalicOff, codes.ESCFntUnderlineOn, codes.ESCFntUnderlineOff,
                   codes.ESCCut,          codes.ESCFntInvertOn,    codes.ESCFntInvertOff,
                   codes.ESCFont1On,      codes.ESCFont1Off,       codes.ESCFont2On,
                   codes.ESCFont2Off,     codes.ESCFont3On,        codes.ESCFont3Off,
                   codes.ESCCustomFontOn, codes.ESCCustomFontOff};
    table[EACPatternIndex].reset();
    for (std::size_t i = FirstGraphicTextPatternIndex; i < MarkupPatternCount; ++i)
        table[i] = std::string_view();
    return table;
}

bool FitsQrSymbol(const std::string& data) {
    const int bits = qrcodegen::QrSegment::getTotalBits(qrcodegen::QrSegment::makeSegments(data.c_str()), 40);
    return bits >= 0 && bits <= QrVersion40MediumBits;
}

char LowByte(std::int64_t value) {
    return static_cast<char>(static_cast<unsigned char>(value & 0xFF));
}

} // namespace

std::string ReplaceEscTags(std::string_view line, const EscCodes& codes, int codePage) {
    std::string bytes;
    for (const MarkupPiece& piece : ReplaceTags(line, PrinterTagCodes(codes)))
        bytes += piece.IsCode ? piece.Text : EncodeForPrinter(piece.Text, codePage);
    return bytes;
}

std::optional<std::string> RenderGraphicTextLine(std::string_view line, const PrintSettings& settings) {
    const std::optional<GraphicTextBlock> block = FindGraphicTextBlock(line);
    if (!block)
        return std::nullopt;
    const GraphicTextFont& font = settings.GraphicText[static_cast<std::size_t>(block->Style - 1)];
    PrintObject descriptor;
    descriptor.NumType = KindGraphicText;
    descriptor.Text = block->Text;
    descriptor.FontName = font.FontName;
    descriptor.FontSize = font.FontSize;
    descriptor.FontStyle = font.FontStyle;
    return GetGraphicText(descriptor, settings.Geometry);
}

std::string EncodeTextLine(std::string_view line, const PrintSettings& settings) {
    if (!settings.CutMarker.empty() && line.find(settings.CutMarker) != std::string_view::npos)
        return settings.Codes.ESCCut;
    if (std::optional<std::string> block = RenderGraphicTextLine(line, settings))
        return std::move(*block);
    std::string bytes;
    bool logo = false;
    for (const MarkupPiece& piece : ReplaceTags(line, PrinterTagCodes(settings.Codes))) {
        if (piece.IsCode) {
            bytes += piece.Text;
        } else if (MarkupMatches(EACPatternIndex, piece.Text)) {
            logo = true;
            bytes +=
                EncodeForPrinter(MarkupReplace(EACPatternIndex, piece.Text, {}), settings.PrinterCodePage);
        } else {
            bytes += EncodeForPrinter(piece.Text, settings.PrinterCodePage);
        }
    }
    bytes += LineEnd;
    if (logo) {
        bytes += GetEACString(settings.Geometry);
        bytes += LineEnd;
    }
    return bytes;
}

std::string BarcodeCommand(std::string_view data, int kind, int alignment, int barcodeHeight, int qrSize) {
    const std::string bytes = EncodeAscii(data);
    std::string command;
    if (kind == KindEAN13 || kind == KindEAN8 || kind == KindCode39) {
        const char symbology = kind == KindEAN13 ? 2 : kind == KindEAN8 ? 3 : 4;
        command = {Gs, 'H', 48, Gs, 'h', LowByte(barcodeHeight), Gs, 'k', symbology};
        command += bytes;
        command += '\0';
    } else if (kind == KindQRCode) {
        if (!FitsQrSymbol(bytes))
            return {};
        const std::size_t stored = bytes.size() + 3;
        command = {Gs, '(', 'k', 3, 0, 49, 67, LowByte(qrSize), Gs, '(', 'k', 3, 0, 49, 69, 49};
        command += {Gs,
                    '(',
                    'k',
                    LowByte(static_cast<std::int64_t>(stored)),
                    LowByte(static_cast<std::int64_t>(stored >> 8)),
                    49,
                    80,
                    48};
        command += bytes;
        command += {Gs, '(', 'k', 3, 0, 49, 81, 48};
    } else {
        return {};
    }
    const char justification = alignment == 2 ? 1 : alignment == 1 ? 2 : 0;
    return std::string{Esc, 'a', justification} + command + std::string{Esc, 'a', 0};
}

std::string EncodeDocument(const ReceiptEntries& entries, const PrintSettings& settings, bool noCut) {
    constexpr int Centred = 2;
    std::string out = settings.Codes.ESCInit + settings.Codes.ESCRus;
    for (const ReceiptEntry& entry : entries) {
        const int kind = entry.NumType();
        if (kind == KindTextLine)
            out += EncodeTextLine(entry.Text, settings);
        else if (kind >= KindQRCode && kind <= KindCode39)
            out += settings.BarcodeAsPicture
                       ? SetBarcodeAsPicture(entry.Text, kind, Centred, settings.Geometry)
                       : BarcodeCommand(entry.Text, kind, Centred, settings.Geometry.BarcodeHeight,
                                        settings.Geometry.QRSize);
        else if (entry.Object)
            out += GetGraphicText(*entry.Object, settings.Geometry);
    }
    for (std::int64_t i = 0; i < std::min(settings.FeedLineCount, MaxFeedLines); ++i)
        out += " \r\n";
    if (!noCut)
        out += settings.Codes.ESCCut;
    return out;
}

} // namespace veltrano::output
