// Documents printed through the host on a loopback TCP printer and on a pseudo-terminal reached through a
// COM link: every byte that arrives, compared with the stream the document's lines make by the printer's
// rules; barcode and QR pictures read back out of the bands by an independent reader.
#include "host_kkt_printer_fixture.h"
#include "output/picture/eac_logo.h"
#include "output/picture/graphic_text.h"
#include "output/picture/raster.h"
#include "picture_test_support.h"

#include <pty.h>

#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace veltrano::hosttest::printing {
namespace {

const char* const Sale = R"(<?xml version="1.0" encoding="UTF-8"?>
<CheckPackage>
  <Parameters CashierName="Смирнова Е.В." OperationType="1" TaxationSystem="1"/>
  <Positions>
    <FiscalString Name="Молоко 3,2%" Quantity="2" PriceWithDiscount="60.25" AmountWithDiscount="120.50"
                  Department="1" VATRate="10" CalculationSubject="1" PaymentMethod="4"/>
    <FiscalString Name="Кофе в зёрнах" Quantity="1" PriceWithDiscount="405" AmountWithDiscount="405"
                  Department="1" VATRate="20" CalculationSubject="1" PaymentMethod="4"/>
  </Positions>
  <Payments Cash="525.50" ElectronicPayment="0"/>
</CheckPackage>)";

// Every markup tag, the logo, graphic text in both forms, the four barcode kinds and a cut in the middle.
const char* const TaggedDocument = R"(<?xml version="1.0"?>
<Document NoCut="%NOCUT%">
  <Positions>
    <TextString Text="Обычная строка"/>
    <TextString Text="[b]Жирный[/b] [I]курсив[/i] [u]черта[/U]"/>
    <TextString Text="[invert]ИНВ[/invert][font1]1[/font1][font2]2[/font2][font3]3[/font3][customfont]Ш[/customfont]"/>
    <TextString Text="до[отрезка]после"/>
    <TextString Text="Знак [EAC]"/>
    <TextString Text="[gt2]Слово[/gt2]"/>
    <TextString Text="[gt3]без пары"/>
    <Barcode Type="EAN13" Value="4601234567893"/>
    <Barcode Type="EAN8" Value="46120441"/>
    <Barcode Type="CODE39" Value="abc-123"/>
    <Barcode Type="QR" Value="https://example.org/чек?n=1"/>
    <GraphicText Text="Спасибо" FontName="Arial" FontStyle="bold " FontSize="14"/>
    <TextString Text="[CUT]"/>
    <TextString Text="Конец"/>
  </Positions>
</Document>)";

std::string WithNoCut(bool noCut) {
    std::string package = TaggedDocument;
    package.replace(package.find("%NOCUT%"), 7, noCut ? "true" : "false");
    return package;
}

// The stream the tagged document makes with the default settings.
std::string TaggedStream(bool noCut) {
    const output::PlacedLogo logo = output::PlaceEacLogo(output::EacLogo(), 2, 1, 78);
    std::string stream = Init + TextLines({Line("Обычная строка")});
    stream += BoldOn + InCodePage("Жирный", 866) + BoldOff + " " + "\x1B\x34\x00"s +
              InCodePage("курсив", 866) + "\x1B\x34\x00"s + " " + "\x1B-\x02"s + InCodePage("черта", 866) +
              "\x1B-\x00"s + "\r\n";
    stream += "\x1D\x42\x01"s + InCodePage("ИНВ", 866) + "\x1D\x42\x00"s +
              "\x1B!\x0A"
              "1"
              "\x1B!\x00"s +
              "\x1B!\x14"
              "2"
              "\x1B!\x00"s +
              "\x1B!\x1E"
              "3"
              "\x1B!\x00"s +
              "\x1B!\x28"s + InCodePage("Ш", 866) + "\x1B!\x00"s + "\r\n";
    stream += InCodePage("до", 866) + Cut + InCodePage("после", 866) + "\r\n";
    stream += InCodePage("Знак ", 866) + "\r\n" + output::RenderBitmap(logo.Logo, logo.Margin) + "\r\n";
    stream += output::RenderBitmap(
        output::GetGraphicText("Слово", 64, 15, "Times New Roman", "bold italic ", "center", "center"), 0);
    stream += InCodePage("без пары", 866) + "\r\n";
    stream +=
        BarcodeCommand("4601234567893", 2) + BarcodeCommand("46120441", 3) + BarcodeCommand("abc-123", 4);
    stream += QrCommand("https://example.org/????n=1");
    stream += output::RenderBitmap(
        output::GetGraphicText("Спасибо", 64, 14, "Arial", "bold ", "center", "center"), 0);
    stream += Cut + TextLines({Line("Конец")}) + Feed;
    return noCut ? stream : stream + Cut;
}

class PrintingHostTest : public PrinterHostTest {};

TEST_F(PrintingHostTest, AShiftAReceiptAndAReportArriveWholeInTheirOrder) {
    LoopbackPrinter printer;
    const std::string id = Connect(Settings(Lan(printer)));
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    const Lines opening = NewRawLines();
    ASSERT_TRUE(driver_
                    ->Call("СформироватьЧек",
                           {Value::Text(id), Value::Bool(false), Value::Text(Sale), Value::Empty()})
                    .Succeeded())
        << LastMessage();
    const Lines receipt = NewRawLines();
    ASSERT_TRUE(XReport(id).Succeeded()) << LastMessage();
    const Lines report = NewRawLines();

    const std::vector<std::string> documents = printer.Documents(3);
    ASSERT_EQ(documents.size(), 3u);
    EXPECT_EQ(documents[0], Init + TextLines(opening) + Feed + Cut);
    EXPECT_EQ(documents[2], Init + TextLines(report) + Feed + Cut);

    // The receipt's QR code follows its taxation line; its data is the receipt's own.
    const std::size_t qr = documents[1].find("\x1B\x61\x01\x1D(k"s);
    ASSERT_NE(qr, std::string::npos);
    const std::size_t store = documents[1].find("\x31\x50\x30", qr);
    ASSERT_NE(store, std::string::npos);
    const std::size_t length = static_cast<unsigned char>(documents[1][store - 2]) +
                               256 * static_cast<unsigned char>(documents[1][store - 1]) - 3;
    const std::string data = documents[1].substr(store + 3, length);
    EXPECT_TRUE(
        std::regex_match(data, std::regex(R"(t=\d{8}T\d{4,6}&s=525\.50&fn=\d{16}&i=\d+&fp=\d{10}&n=1)")))
        << data;
    std::size_t taxation = 0;
    while (taxation < receipt.size() && receipt[taxation].rfind("СНО:", 0) != 0)
        ++taxation;
    ASSERT_LT(taxation, receipt.size());
    const Lines before(receipt.begin(), receipt.begin() + static_cast<std::ptrdiff_t>(taxation + 1));
    const Lines after(receipt.begin() + static_cast<std::ptrdiff_t>(taxation + 1), receipt.end());
    EXPECT_EQ(documents[1], Init + TextLines(before) + QrCommand(data) + TextLines(after) + Feed + Cut);
}

TEST_F(PrintingHostTest, ATextDocumentWithEveryTagWithAndWithoutTheCut) {
    LoopbackPrinter printer;
    const std::string id = Connect(Settings(Lan(printer)));
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(TextDocument(id, WithNoCut(false)).Succeeded()) << LastMessage();
    ASSERT_TRUE(TextDocument(id, WithNoCut(true)).Succeeded()) << LastMessage();
    const std::vector<std::string> documents = printer.Documents(2);
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[0], TaggedStream(false));
    EXPECT_EQ(documents[1], TaggedStream(true));
}

TEST_F(PrintingHostTest, OtherCodePagesAndCodesFromThePresetLists) {
    LoopbackPrinter printer;
    const std::string id = Connect(Settings(Lan(printer, {{"PrinterCodePage", "1251"},
                                                          {"ESCRusList", "27+116+17"},
                                                          {"ESCRus", "27+116+6"},
                                                          {"ESCCutList", "29+86+66+0"},
                                                          {"FeedLineCount", "2"}})));
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    const Lines opening = NewRawLines();
    ASSERT_TRUE(
        TextDocument(id, R"(<Document><Positions><TextString Text="[b]Ёлка №1[/b]"/></Positions></Document>)")
            .Succeeded())
        << LastMessage();

    const std::string init = "\x1B@\x1Bt\x11"s;
    const std::string cut = "\x1DVB\x00"s;
    const std::vector<std::string> documents = printer.Documents(2);
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[0], init + TextLines(opening, 1251) + Feed + Feed + cut);
    EXPECT_EQ(documents[1], init + BoldOn +
                                "\xA8\xEB\xEA\xE0 \xB9"
                                "1" +
                                BoldOff + "\r\n" + Feed + Feed + cut);
}

TEST_F(PrintingHostTest, TheSerialPrinterGetsTheDocumentThroughItsComLink) {
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    std::filesystem::create_directories(DataFolder());
    std::filesystem::create_symlink(::ttyname(slave), DataFolder() / "COM7");
    const std::string expected = TaggedStream(false);
    std::string arrived;
    std::thread reader([&] {
        char buffer[4096];
        pollfd entry{master, POLLIN, 0};
        while (arrived.size() < expected.size() && ::poll(&entry, 1, 3000) == 1) {
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got <= 0)
                break;
            arrived.append(buffer, static_cast<std::size_t>(got));
        }
    });
    const std::string id =
        Connect(Settings({{"InterfaceType", "1"}, {"COMPort", "7"}, {"BaudRate", "230400"}}));
    const bool printed = !id.empty() && TextDocument(id, WithNoCut(false)).Succeeded();
    reader.join();
    ::close(slave);
    ::close(master);
    ASSERT_TRUE(printed) << LastMessage();
    EXPECT_EQ(arrived, expected);
}

// The bands of every picture in a stream, in order.
std::vector<std::string> Rasters(const std::string& stream) {
    std::vector<std::string> rasters;
    for (std::size_t from = stream.find("\x1B\x33\x18"); from != std::string::npos;
         from = stream.find("\x1B\x33\x18", from)) {
        const std::size_t end = stream.find("\x1B\x33\x1E", from);
        if (end == std::string::npos)
            break;
        rasters.push_back(stream.substr(from, end + 3 - from));
        from = end + 3;
    }
    return rasters;
}

std::string ReaderField(const std::string& text, const std::string& pattern) {
    std::smatch found;
    return std::regex_search(text, found, std::regex(pattern)) ? found[1].str() : std::string("(none)");
}

TEST_F(PrintingHostTest, BarcodePicturesReadBackOutOfThePrintedBands) {
    if (!output::picture_test::ProgramInstalled("ZXingReader"))
        GTEST_SKIP() << "ZXingReader (zxing-cpp-tools) is needed";
    LoopbackPrinter printer;
    const std::string id =
        Connect(Settings(Lan(printer, {{"BarcodeAsPicture", "true"}, {"BarcodeSize", "6"}})));
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(TextDocument(id, R"(<Document><Positions>
      <Barcode Type="EAN13" Value="460123456789"/>
      <Barcode Type="EAN13" Value="4601234567893"/>
      <Barcode Type="EAN8" Value="46120441"/>
      <Barcode Type="CODE39" Value="abc-123"/>
      <Barcode Type="QR" Value="Учебный ККТ: чек 15"/>
    </Positions></Document>)")
                    .Succeeded())
        << LastMessage();
    const std::vector<std::string> documents = printer.Documents(1);
    ASSERT_EQ(documents.size(), 1u);
    const std::vector<std::string> rasters = Rasters(documents[0]);
    ASSERT_EQ(rasters.size(), 5u);
    std::string joined = Init;
    for (const std::string& raster : rasters)
        joined += raster;
    EXPECT_EQ(documents[0], joined + Feed + Cut);

    const struct {
        const char* text;
        const char* format;
    } expected[] = {{"4601234567893", "EAN-13"},
                    {"4601234567893", "EAN-13"},
                    {"46120441", "EAN-8"},
                    {"ABC-123", "Code39"},
                    {"Учебный ККТ: чек 15", "QRCode"}};
    output::picture_test::ScratchFolder folder;
    for (std::size_t i = 0; i < rasters.size(); ++i) {
        output::Bitmap picture;
        ASSERT_TRUE(output::picture_test::UnpackRaster(rasters[i], picture)) << i;
        EXPECT_EQ(picture.Width(), 624) << i;
        const std::string file = (folder.Path() / ("printed-" + std::to_string(i) + ".png")).string();
        output::picture_test::WritePng(picture, file);
        const std::string zxing = output::picture_test::CommandOutput("ZXingReader '" + file + "' 2>&1");
        EXPECT_EQ(ReaderField(zxing, "Text: *\"([^\"]*)\""), expected[i].text) << zxing;
        EXPECT_EQ(ReaderField(zxing, "Format: *(\\S+)"), expected[i].format) << zxing;
        EXPECT_EQ(ReaderField(zxing, "Rotation: *(-?\\d+) deg"), "0") << zxing;
        EXPECT_EQ(ReaderField(zxing, "IsMirrored: *(\\S+)"), "false") << zxing;
    }
}

} // namespace
} // namespace veltrano::hosttest::printing
