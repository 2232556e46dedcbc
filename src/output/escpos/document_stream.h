// A finished document as the one byte stream of ESC/POS commands a receipt printer takes: initialisation,
// the code page, the buffer's entries (text lines with their tags turned into printer codes, barcodes, QR
// codes and pictures), the paper feed and the cut.
#pragma once

#include "output/esc_codes.h"
#include "output/escpos/print_pictures.h"
#include "output/print_object.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::output {

// The font of one graphic-text style.
struct GraphicTextFont {
    std::string FontName;
    int FontSize = 0;
    std::string FontStyle; // "bold ", "italic ", "strikeout ", "underline" as switched on, in this order
};

// Everything of a device's settings the stream depends on.
struct PrintSettings {
    EscCodes Codes;
    int PrinterCodePage = 866;
    bool BarcodeAsPicture = false;
    std::int64_t FeedLineCount = 1;
    // A text line holding it prints as a cut; compared with letter case. Empty never matches.
    std::string CutMarker = "[CUT]";
    std::array<GraphicTextFont, 5> GraphicText; // styles 1..5
    RasterGeometry Geometry;
};

// A feed of more lines than this is cut short: a longer blank strip serves no document and would only take
// the memory of a huge setting.
inline constexpr std::int64_t MaxFeedLines = 1000;

// ESCInit, ESCRus, a piece per buffer entry in order, FeedLineCount times a space and CR LF, and ESCCut
// unless noCut. Text lines: a line holding the cut marker is ESCCut alone; a line with a graphic-text block
// is the block's picture alone; any other line is its text in the code page with the tags replaced, then CR
// LF, then the EAC logo and CR LF when it held the logo tag. Barcodes and QR codes are printer commands, or
// pictures with BarcodeAsPicture; graphic-text entries are pictures.
std::string EncodeDocument(const ReceiptEntries& entries, const PrintSettings& settings, bool noCut);

// The piece of one text line, as above.
std::string EncodeTextLine(std::string_view line, const PrintSettings& settings);

// The line's characters in the code page with every markup tag but the logo tag replaced by its ESC code,
// table order; graphic-text tags that are still there (a block without its counterpart) are removed.
std::string ReplaceEscTags(std::string_view line, const EscCodes& codes, int codePage);

// The picture of the line's graphic-text block; nothing when the line holds no block.
std::optional<std::string> RenderGraphicTextLine(std::string_view line, const PrintSettings& settings);

// ESC "a" (centred when alignment is 2, right when 1, left otherwise), the barcode or QR commands, ESC "a" 0.
// Linear barcodes (kinds 1, 2, 3): GS "H" 48, GS "h" with the height's low byte, GS "k" 2, 3 or 4 with the
// data and a zero byte. QR (kind 0): module size qrSize, error correction M, the data stored with its length
// + 3 in two bytes, print. Each character of the data is one byte; a character outside ASCII, or a zero byte,
// is sent as "?". Empty for other kinds and for QR data no version-40 symbol at level M holds.
std::string BarcodeCommand(std::string_view data, int kind, int alignment, int barcodeHeight, int qrSize);

} // namespace veltrano::output
