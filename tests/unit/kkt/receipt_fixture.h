// A training cash register with an open shift, ready for receipts: check packages written as XML text, the
// documents read back from the output file, and the expected lines of a receipt's header.
#pragma once

#include "common/money.h"
#include "frame_fixture.h"

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace veltrano::kkt::testing {

using Lines = std::vector<std::string>;

// The XML text as a parsed document; a malformed text fails the test.
pugi::xml_document ParsePackage(std::string_view xml);

// The header of a receipt made at TestNow with the default storage's registration data.
Lines ReceiptHeader(std::string_view shiftAndReceipt, std::string_view cashier, std::string_view number,
                    std::string_view cashierInn = {});

Lines Concat(std::initializer_list<Lines> parts);

class ReceiptTest : public KktInstanceTest {
protected:
    // Fiscal details printed; a shift opened by "Иванов И.И." whose document is already read from the file.
    void SetUp() override;

    // Puts cash into the drawer; the cash-in document is read from the file.
    void PutCash(Money amount);
    // The receipt of the package; returns the DocumentOutputParameters as compact XML.
    std::string Check(std::string_view packageXml, bool electronically = false);
    // The text of every buffer entry of the last document (the QR code and barcodes included).
    Lines BufferTexts();
};

} // namespace veltrano::kkt::testing
