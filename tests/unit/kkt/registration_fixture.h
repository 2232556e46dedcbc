// The fixture of the registration, correction receipt and text document tests: the hand-built cash register
// of frame_fixture.h with a recording preview and a printer that only counts the documents sent to it.
#pragma once

#include "common/text.h"
#include "driver/errors.h"
#include "frame_fixture.h"
#include "output/printer_port.h"
#include "output/receipt_preview.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing::documents {

using Lines = std::vector<std::string>;
using Fields = std::vector<std::pair<std::string, std::string>>;

// Keeps the caption, number and items of every document handed over.
class DocumentRecorder final : public output::IReceiptPreview {
public:
    struct Shown {
        std::string caption;
        std::string number;
        output::ReceiptEntries items;
    };
    bool Exists() const override { return true; }
    void Ensure(std::size_t, int) override {}
    void Destroy() override {}
    void Place(const output::PreviewPlacement&) override {}
    int MonospacedCharWidth() const override { return 8; }
    void AddDocument(std::string caption, std::string number, output::ReceiptEntries copy) override {
        shown.push_back({std::move(caption), std::move(number), std::move(copy)});
    }
    std::vector<Shown> shown;
};

// A printer that is always there and counts what reaches it.
class CountingPort final : public output::IPrinterPort {
public:
    explicit CountingPort(int& opened) : opened_(opened) {}
    void Open() override { ++opened_; }
    void Write(std::string_view) override {}
    void Close() noexcept override {}
    const output::PrinterPortSettings& Settings() const override { return settings_; }

private:
    int& opened_;
    output::PrinterPortSettings settings_ = output::LanPortSettings{"127.0.0.1", 9100};
};

class DocumentsTest : public KktInstanceTest {
protected:
    void SetUp() override {
        KktInstanceTest::SetUp();
        previous_ = output::InstallReceiptPreview(recorder_);
        Device().ShowReceiptForm = 2;
        Instance().SetCutMarker("[CUT]");
        Instance().SetPrinterPort(std::make_unique<CountingPort>(printed));
    }
    void TearDown() override {
        output::InstallReceiptPreview(previous_);
        KktInstanceTest::TearDown();
    }

    const std::vector<DocumentRecorder::Shown>& Shown() const { return recorder_->shown; }

    // The new document's lines: each exactly a line wide, the fiscal signs masked.
    void ExpectNewDocument(const Lines& expected) {
        const Lines lines = NewOutputLines();
        for (const std::string& line : lines)
            EXPECT_EQ(text::Length(line), static_cast<std::size_t>(TestLineLength)) << line;
        EXPECT_EQ(MaskFiscalSign(lines), expected);
    }

    void ExpectStored(const Fields& fields) const {
        for (const auto& [field, value] : fields)
            EXPECT_EQ(StoredValue(field), value) << field;
    }

    // A refused operation: the message (and the equipment code where one is given), the storage file byte for
    // byte as it was, and no document in the output file, the preview or on the printer.
    void ExpectRefused(const std::function<void()>& operation, std::string_view message, int code = 0) {
        const std::string storage = StorageBytes();
        const std::string output = OutputBytes();
        const std::size_t shown = Shown().size();
        const int printedBefore = printed;
        try {
            operation();
            ADD_FAILURE() << "no failure, expected " << message;
        } catch (const driver::EquException& error) {
            EXPECT_EQ(error.what(), message);
            EXPECT_EQ(error.Code, code);
        } catch (const std::exception& error) {
            EXPECT_EQ(error.what(), message);
            EXPECT_EQ(code, 0) << "a plain error where the equipment code " << code << " was expected";
        }
        EXPECT_EQ(StorageBytes(), storage);
        EXPECT_EQ(OutputBytes(), output);
        EXPECT_EQ(Shown().size(), shown);
        EXPECT_EQ(printed, printedBefore);
    }

    int printed = 0;

private:
    std::shared_ptr<DocumentRecorder> recorder_ = std::make_shared<DocumentRecorder>();
    std::shared_ptr<output::IReceiptPreview> previous_;
};

// The parsed text; an empty text gives a document without a document element.
inline pugi::xml_document Xml(std::string_view text) {
    pugi::xml_document doc;
    if (text.empty())
        return doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
    EXPECT_TRUE(parsed) << parsed.description() << ": " << text;
    return doc;
}

inline Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline const Lines Separator{BlankLine(), RuleLine()};

// The answer with its fresh fiscal sign masked.
inline std::string MaskedAnswer(const pugi::xml_document& doc) {
    static const std::regex sign("FiscalSign=\"[0-9]{10}\"");
    return std::regex_replace(Compact(doc), sign, "FiscalSign=\"##########\"");
}

} // namespace veltrano::kkt::testing::documents
