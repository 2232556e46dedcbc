#include "output/output_device.h"

#include "common/text.h"
#include "log/log.h"
#include "output/line_layout.h"
#include "output/markup.h"
#include "output/receipt_preview.h"
#include "output/write_file_error.h"
#include "platform/platform.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace veltrano::output {
namespace {

// The preview window's look at connection: nearly opaque, snapping to the screen edges, one line wide.
constexpr int PreviewOpacity = 235;
constexpr int PreviewSnapDistance = 30;
constexpr int PreviewClientExtraWidth = 30;
constexpr int PreviewMinExtraWidth = 55;
constexpr int PreviewScreenHeightMargin = 200;

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The CR LF separated paragraphs of a text cut into pieces of width characters at fixed positions; every
// piece after the first of its paragraph loses its surrounding spaces. An empty paragraph gives no piece.
std::vector<std::string> CutIntoPieces(std::string_view text, std::size_t width) {
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", from);
        const std::string_view paragraph =
            text.substr(from, end == std::string_view::npos ? end : end - from);
        for (std::size_t begin = 0; begin < paragraph.size();) {
            const std::size_t stop = text::Advance(paragraph, begin, width);
            const std::string_view piece = paragraph.substr(begin, stop - begin);
            pieces.push_back(begin == 0 ? std::string(piece) : text::Trim(piece));
            begin = stop;
        }
        if (end == std::string_view::npos)
            return pieces;
        from = end + 2;
    }
}

} // namespace

OutputDevice::~OutputDevice() {
    try {
        ReceiptPreview().Destroy();
    } catch (const std::exception& e) {
        log::WriteLog("TDevice", e.what(), log::Level::Error);
    }
}

void OutputDevice::Init(std::string outputPath, int lineLen) {
    PrintOutFilePath = std::move(outputPath);
    LineLen = lineLen;
}

void OutputDevice::Enable() {
    // Values below 1 are no mode at all; they show nothing, like 1.
    if (ShowReceiptForm < 2)
        return;
    PreparePreview();
}

void OutputDevice::PreparePreview() const {
    IReceiptPreview& preview = ReceiptPreview();
    preview.Ensure(Width(), ShowReceiptForm);
    const int lineWidth = preview.MonospacedCharWidth() * static_cast<int>(Width());
    PreviewPlacement placement;
    placement.Opacity = PreviewOpacity;
    placement.SnapDistance = PreviewSnapDistance;
    placement.ClientWidth = lineWidth + PreviewClientExtraWidth;
    placement.MinWindowWidth = lineWidth + PreviewMinExtraWidth;
    placement.ScreenHeightMargin = PreviewScreenHeightMargin;
    preview.Place(placement);
}

std::size_t OutputDevice::Width() const {
    // The connection guarantees at least 24; a device used before Init still must not divide by zero.
    return LineLen > 0 ? static_cast<std::size_t>(LineLen) : 1;
}

void OutputDevice::AppendTextLine(std::string line) {
    entries_.push_back({std::move(line), TextLineObject()});
}

std::string OutputDevice::AlignSides(std::string_view left, std::string_view right) const {
    return output::AlignSides(left, right, Width());
}

std::string OutputDevice::CenterText(std::string_view text) const {
    return output::CenterText(text, Width());
}

void OutputDevice::PrintText(std::string_view left, std::string_view right) {
    const std::string cleaned = CleanText(left);
    // A line with tags is kept whole: cutting or padding it would count the tags' characters as printed ones.
    if (HasTag(cleaned)) {
        AppendTextLine(cleaned);
        return;
    }
    const std::size_t width = Width();
    const std::vector<std::string> pieces = CutIntoPieces(cleaned, width);
    if (pieces.empty()) {
        AppendTextLine(AlignSides({}, right));
        return;
    }
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i)
        AppendTextLine(PadRight(pieces[i], width));
    const std::string& last = pieces.back();
    const std::string joined = text::Trim(last + " " + std::string(right));
    if (text::Length(joined) > width) {
        AppendTextLine(PadRight(last, width));
        AppendTextLine(PadRight(right, width));
    } else {
        AppendTextLine(AlignSides(last, right));
    }
}

void OutputDevice::PrintTextCenter(std::string_view text) {
    AppendTextLine(CenterText(text::Trim(text)));
}

void OutputDevice::PrintBarcode(std::string_view code, int type) {
    entries_.push_back({std::string(code), MakePrintObject(type)});
}

void OutputDevice::PrintQRcode(std::string_view code) {
    entries_.push_back({std::string(code), MakePrintObject(KindQRCode)});
}

void OutputDevice::PrintGraphicText(PrintObjectPtr descriptor) {
    if (!descriptor)
        throw std::invalid_argument("Graphic text without a descriptor");
    std::string text = descriptor->Text;
    entries_.push_back({std::move(text), std::move(descriptor)});
}

ReceiptEntries OutputDevice::MakeDocumentCopy() const {
    ReceiptEntries copy;
    copy.reserve(entries_.size());
    for (const ReceiptEntry& entry : entries_) {
        if (MarkupMatches(EACPatternIndex, entry.Text)) {
            copy.push_back({MarkupReplace(EACPatternIndex, entry.Text, {}), entry.Object});
            copy.push_back({"EAC", MakePrintObject(KindEACLogo, "EAC")});
        } else {
            copy.push_back(entry);
        }
    }
    return copy;
}

void OutputDevice::StripTags(ReceiptEntries& copy) {
    for (ReceiptEntry& entry : copy)
        entry.Text = output::StripTags(entry.Text);
}

void OutputDevice::CreateReceipt(std::string_view documentKind, std::string_view documentNumber) {
    ReceiptEntries copy = MakeDocumentCopy();
    StripTags(copy);
    try {
        WriteFile(copy);
    } catch (const std::exception& e) {
        throw EWriteFile(e.what());
    }
    IReceiptPreview& preview = ReceiptPreview();
    if (ShowReceiptForm >= 2 && ShowReceiptForm <= 5) {
        // Another device's document or disconnection may have destroyed the shared window since Enable.
        if (!preview.Exists())
            PreparePreview();
        preview.AddDocument(std::string(documentKind), std::string(documentNumber), std::move(copy));
    } else if (ShowReceiptForm < 2 && preview.Exists()) {
        preview.Destroy();
    }
}

void OutputDevice::WriteFile(const ReceiptEntries& copy) const {
    if (text::Trim(PrintOutFilePath).empty())
        return;
    // The whole document goes in one append, so a failure never leaves half a document in the file.
    std::string document;
    for (const ReceiptEntry& entry : copy) {
        if (entry.NumType() == KindTextLine) {
            document += entry.Text;
            document += "\r\n";
        }
    }
    const std::filesystem::path file = PathFromUtf8(PrintOutFilePath);
    try {
        const std::filesystem::path folder = file.parent_path();
        if (!folder.empty() && !std::filesystem::exists(folder))
            std::filesystem::create_directory(folder);
        platform::AppendExclusive(file, document);
    } catch (const std::exception& e) {
        log::WriteLog(InvalidOutputPathMessage, e.what(), log::Level::Error);
        throw std::runtime_error(std::string(InvalidOutputPathMessage));
    }
}

} // namespace veltrano::output
