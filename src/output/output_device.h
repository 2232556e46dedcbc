// The output device of one connected cash register: the receipt buffer every document is laid out in, the
// output text file and the hand-over to the preview.
#pragma once

#include "output/print_object.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrano::output {

class OutputDevice {
public:
    OutputDevice() = default;
    // Also destroys the preview window shared by every device.
    ~OutputDevice();
    OutputDevice(const OutputDevice&) = delete;
    OutputDevice& operator=(const OutputDevice&) = delete;

    void Init(std::string outputPath, int lineLen);
    // Prepares the shared preview window unless documents are not to be shown.
    void Enable();
    void Disable() {}

    // Layout: each appends to the buffer.
    void PrintText(std::string_view left, std::string_view right);
    void PrintTextCenter(std::string_view text);
    void PrintBarcode(std::string_view code, int type);
    void PrintQRcode(std::string_view code);
    // The descriptor (built by the caller with NumType 99) is shared with the buffer.
    void PrintGraphicText(PrintObjectPtr descriptor);
    void ClearBuffer() { entries_.clear(); }
    // The buffer as laid out, tags still present; the print path reads it after CreateReceipt.
    const ReceiptEntries& ReceiptStrList() const { return entries_; }

    // Lines exactly LineLen characters wide.
    std::string AlignSides(std::string_view left, std::string_view right) const;
    std::string CenterText(std::string_view text) const;

    // Finishes the document: a copy without tags goes to the output file, then to the preview. A file that
    // cannot be written throws EWriteFile and nothing is shown.
    void CreateReceipt(std::string_view documentKind, std::string_view documentNumber);
    static void StripTags(ReceiptEntries& copy);
    // Appends the copy's text lines to PrintOutFilePath in one write; throws std::runtime_error with
    // InvalidOutputPathMessage when it cannot.
    void WriteFile(const ReceiptEntries& copy) const;

    // Settings copied from the device instance at connection.
    std::string PrintOutFilePath;
    int LineLen = 42;
    int ShowReceiptForm = 2; // 1 not shown, 2 always shown, 3/4/5 hidden after 15/30/60 seconds
    int RibbonWidth = 78;    // millimetres
    int EACSize = 2;         // 1..20
    int EACAlignment = 1;    // 0 left, 1 centre, 2 right
    int BarcodeHeight = 60;  // printer dots
    int BarcodeSize = 3;     // 1..6
    int QRSize = 6;          // 1..12

private:
    std::size_t Width() const;
    void AppendTextLine(std::string line);
    void PreparePreview() const;
    ReceiptEntries MakeDocumentCopy() const;

    ReceiptEntries entries_;
};

} // namespace veltrano::output
