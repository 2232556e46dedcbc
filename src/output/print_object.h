// Receipt buffer items: the descriptor of an item and the ordered list of (text, descriptor) entries.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace veltrano::output {

// Item kinds (PrintObject::NumType).
inline constexpr int KindTextLine = -1;
inline constexpr int KindQRCode = 0;
inline constexpr int KindEAN13 = 1;
inline constexpr int KindEAN8 = 2;
inline constexpr int KindCode39 = 3;
inline constexpr int KindGraphicText = 99;
// Made only in the document copies, never laid out in the buffer.
inline constexpr int KindEACLogo = 100;

// Describes one buffer item. Only graphic-text items use the font fields.
struct PrintObject {
    int NumType = KindTextLine;
    std::string Text;
    std::string FontName;
    int FontSize = 0;
    // Space-separated words: "bold", "italic", "strikeout", "underline".
    std::string FontStyle;
};

// Descriptors are shared between the buffer and the copies shown in the preview: a descriptor lives as long
// as any list holds it.
using PrintObjectPtr = std::shared_ptr<const PrintObject>;

struct ReceiptEntry {
    // The laid-out line, the barcode or QR data, or the graphic-text block's text.
    std::string Text;
    PrintObjectPtr Object;

    int NumType() const { return Object ? Object->NumType : KindTextLine; }
};

using ReceiptEntries = std::vector<ReceiptEntry>;

// A new descriptor of the kind with the text; the font fields stay empty.
std::shared_ptr<PrintObject> MakePrintObject(int numType, std::string text = {});

// The one descriptor every text line shares: text lines carry nothing but their kind.
const PrintObjectPtr& TextLineObject();

} // namespace veltrano::output
