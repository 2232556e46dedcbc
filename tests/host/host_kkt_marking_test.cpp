// Marked goods through the host as a configuration sells them: open the session of marking code checks, ask
// for each scanned code, read the answer, confirm, form the receipt with the codes, close the session. Then
// the requests a configuration may get wrong and the calls out of order.
#include "host_kkt_fixture.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace veltrano::hosttest {
namespace {

using Lines = std::vector<std::string>;

const std::string GS = "\x1D";
// Shoes: GTIN 04601234567893, a 13-character serial, the verification key and code.
const std::string Shoes =
    "0104601234567893215'aB<dE9fGhJk" + GS + "91EE06" + GS + "92dGVzdGNyeXB0b3RhaWxmb3JtYXJraW5nY29kZXNhYmNk";
// The same pair scanned by a scanner that drops the group separators.
const std::string ShoesWithoutSeparators =
    "0104601234567893215'aB<dE9fGhJk91EE0692dGVzdGNyeXB0b3RhaWxmb3JtYXJraW5nY29kZXNhYmNk";
// Milk whose label is damaged: the GTIN's check digit reads wrong.
const std::string DamagedMilk = "0104601234567894"
                                "21Qw3rTy" +
                                GS + "93dGVz";
const std::string Cheese = "0104601234567893"
                           "21Zx9cVb" +
                           GS + "93aBcD";

std::string Base64(const std::string& bytes) {
    static const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j)
            group = (group << 8) | (j < n ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        for (std::size_t j = 0; j < 4; ++j)
            text += j <= n ? alphabet[(group >> (18 - 6 * j)) & 0x3F] : '=';
    }
    return text;
}

std::string Request(const std::string& guid, const std::string& code, const std::string& more = {}) {
    return "<?xml version=\"1.0\"?>\r\n<RequestKM GUID=\"" + guid + "\" MarkingCode=\"" + Base64(code) +
           "\" PlannedStatus=\"1\" " + more + "/>";
}

const std::string EmptyAnswer = "<?xml version=\"1.0\"?>\r\n";

std::string MarkedPosition(const std::string& name, const std::string& amount, const std::string& code) {
    return "<FiscalString Name=\"" + name + "\" Quantity=\"1\" PriceWithDiscount=\"" + amount +
           "\" AmountWithDiscount=\"" + amount +
           "\" Department=\"1\" VATRate=\"22\" CalculationSubject=\"1\" " + "PaymentMethod=\"4\"" +
           (code.empty() ? "" : " MarkingCode=\"" + Base64(code) + "\"") + "/>";
}

std::string Sale(const std::string& positions, const std::string& cash) {
    return "<?xml version=\"1.0\"?>\r\n<CheckPackage><Parameters CashierName=\"Маркова М.М.\" "
           "OperationType=\"1\" TaxationSystem=\"0\"/><Positions>" +
           positions + "</Positions><Payments Cash=\"" + cash + "\"/></CheckPackage>";
}

Lines PositionLines(const std::string& name, const std::string& amount, const std::string& sign,
                    const std::string& vat) {
    Lines lines{Line(name), Line("", "1.000 X " + amount), Line("1", "=" + amount)};
    if (!sign.empty())
        lines.push_back(Line("", sign));
    lines.insert(lines.end(), {Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"), Line("ПРЕДМ.РАСЧ.", "ТОВАР"),
                               Line("НДС 22%", vat), Blank()});
    return lines;
}

class KktMarkingTest : public KktHostTest {
protected:
    void SetUp() override {
        KktHostTest::SetUp();
        // 22 % is the general rate since 2026: these receipts need a clock past its start.
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        if (local.tm_year + 1900 < 2026)
            GTEST_SKIP() << "the computer's clock is before 2026";
    }

    std::string ReadyDevice() {
        const std::string id = Connect(Settings());
        EXPECT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
        EXPECT_TRUE(CashInOut(id, 1000).Succeeded()) << LastMessage();
        NewDocumentLines();
        return id;
    }

    CallResult OpenSession(const std::string& id) {
        return driver_->Call("ОткрытьСессиюРегистрацииКМ", {Value::Text(id)});
    }
    CallResult CloseSession(const std::string& id) {
        return driver_->Call("ЗакрытьСессиюРегистрацииКМ", {Value::Text(id)});
    }
    CallResult Ask(const std::string& id, const std::string& request) {
        return driver_->Call("ЗапросКМ", {Value::Text(id), Value::Text(request), Value::Empty()});
    }
    CallResult Answer(const std::string& id) {
        return driver_->Call("ПолучитьРезультатыЗапросаКМ",
                             {Value::Text(id), Value::Empty(), Value::Empty()});
    }
    CallResult Confirm(const std::string& id, const std::string& guid, std::int32_t type) {
        return driver_->Call("ПодтвердитьКМ", {Value::Text(id), Value::Text(guid), Value::Int(type)});
    }
    CallResult Receipt(const std::string& id, const std::string& package) {
        return driver_->Call("СформироватьЧек",
                             {Value::Text(id), Value::Bool(false), Value::Text(package), Value::Empty()});
    }

    // The request status the call returned, as the host's integer.
    static std::int64_t Status(const CallResult& answer) {
        EXPECT_EQ(answer.params.at(2).vt, napi::VTYPE_I4);
        return answer.params.at(2).integer;
    }

    void ExpectFailure(const CallResult& call, const std::string& message) {
        EXPECT_TRUE(call.returned) << message;
        EXPECT_FALSE(call.result.boolean) << message;
        EXPECT_EQ(driver_->LastError().code, 1001) << message;
        EXPECT_EQ(LastMessage(), message);
    }
};

TEST_F(KktMarkingTest, AConfigurationSellsAPositiveAndANegativeCode) {
    const std::string id = ReadyDevice();
    ASSERT_TRUE(OpenSession(id).Succeeded()) << LastMessage();

    const CallResult shoes =
        Ask(id, Request("7F3A0C2E-1B4D-4E8F-9A6B-5C7D8E9F0A1B", Shoes,
                        "Quantity=\"1\" MeasureOfQuantity=\"0\" WaitForResult=\"true\""));
    ASSERT_TRUE(shoes.Succeeded()) << LastMessage();
    EXPECT_EQ(CompactAnswer(shoes.Out(2)), "<RequestKMResult Checking=\"true\" CheckingResult=\"true\"/>");
    const CallResult shoesAnswer = Answer(id);
    ASSERT_TRUE(shoesAnswer.Succeeded()) << LastMessage();
    EXPECT_EQ(Status(shoesAnswer), 0);
    EXPECT_EQ(CompactAnswer(shoesAnswer.Out(1)),
              "<ProcessingKMResult GUID=\"7F3A0C2E-1B4D-4E8F-9A6B-5C7D8E9F0A1B\" Result=\"true\" "
              "ResultCode=\"15\" StatusInfo=\"1\" HandleCode=\"0\"/>");

    const CallResult milk = Ask(id, Request("milk-1", DamagedMilk));
    ASSERT_TRUE(milk.Succeeded()) << LastMessage();
    EXPECT_EQ(CompactAnswer(milk.Out(2)), "<RequestKMResult Checking=\"true\" CheckingResult=\"false\"/>");
    const CallResult milkAnswer = Answer(id);
    EXPECT_EQ(Status(milkAnswer), 0);
    EXPECT_EQ(CompactAnswer(milkAnswer.Out(1)),
              "<ProcessingKMResult GUID=\"milk-1\" Result=\"false\" ResultCode=\"5\" StatusInfo=\"2\" "
              "HandleCode=\"0\"/>");
    // Every answer has been read.
    const CallResult none = Answer(id);
    ASSERT_TRUE(none.Succeeded()) << LastMessage();
    EXPECT_EQ(Status(none), 2);
    EXPECT_EQ(none.Out(1), EmptyAnswer);

    // The GUID is found whatever its letter case; the trainee sells the damaged milk anyway.
    ASSERT_TRUE(Confirm(id, "7f3a0c2e-1b4d-4e8f-9a6b-5c7d8e9f0a1b", 0).Succeeded()) << LastMessage();
    ASSERT_TRUE(Confirm(id, "milk-1", 0).Succeeded()) << LastMessage();

    // A refused receipt uses up nothing.
    ExpectFailure(Receipt(id, Sale(MarkedPosition("Туфли", "4880", ShoesWithoutSeparators) +
                                       "<FiscalString Name=\"Х\" AmountWithDiscount=\"1\" VATRate=\"20\"/>",
                                   "4881")),
                  "Недопустимо сочетание налогов 22% и 20% в одном документе");

    // The shoes were scanned again without separators: still the same pair. The cheese was never checked.
    const CallResult sale =
        Receipt(id, Sale(MarkedPosition("Туфли", "4880", ShoesWithoutSeparators) +
                             MarkedPosition("Молоко", "122", DamagedMilk) +
                             MarkedPosition("Сыр", "610", Cheese) + MarkedPosition("Пакет", "12.20", ""),
                         "5624.20"));
    ASSERT_TRUE(sale.Succeeded()) << LastMessage();
    const Lines lines = NewDocumentLines();
    ASSERT_GT(lines.size(), 7u);
    EXPECT_EQ(Lines(lines.begin() + 7, lines.begin() + 7 + 31), [] {
        Lines body;
        for (const Lines& part :
             {PositionLines("Туфли", "4880.00", "[М+]", "=880.00"),
              PositionLines("Молоко", "122.00", "[М-]", "=22.00"),
              PositionLines("Сыр", "610.00", "[M]", "=110.00"), PositionLines("Пакет", "12.20", "", "=2.20")})
            body.insert(body.end(), part.begin(), part.end());
        return body;
    }());

    // Sold codes are gone; another receipt with them does not find them.
    ExpectFailure(Confirm(id, "milk-1", 1), "Запрос кода маркировки с GUID milk-1 не найден в сессии");
    ASSERT_TRUE(Receipt(id, Sale(MarkedPosition("Туфли", "4880", Shoes), "4880")).Succeeded())
        << LastMessage();
    const Lines again = NewDocumentLines();
    EXPECT_EQ(again.at(10), Line("", "[M]"));

    // A code confirmed but never sold is dropped with the session.
    ASSERT_TRUE(Ask(id, Request("cheese-1", Cheese)).Succeeded()) << LastMessage();
    ASSERT_TRUE(Confirm(id, "cheese-1", 0).Succeeded()) << LastMessage();
    ASSERT_TRUE(CloseSession(id).Succeeded()) << LastMessage();
    ASSERT_TRUE(OpenSession(id).Succeeded()) << LastMessage();
    ExpectFailure(Confirm(id, "cheese-1", 0), "Запрос кода маркировки с GUID cheese-1 не найден в сессии");
    ASSERT_TRUE(CloseSession(id).Succeeded()) << LastMessage();
    // The registers counted the three receipts at 22 %: 880 + 22 + 110 + 2.20 + 880.
    EXPECT_EQ(Field("M116"), "1894.2");
}

TEST_F(KktMarkingTest, AnAnswerNotAwaitedArrivesAtTheNextQueryAndJudgesThePlannedStatus) {
    const std::string id = ReadyDevice();
    ASSERT_TRUE(OpenSession(id).Succeeded()) << LastMessage();
    // Sold by weight, but planned as a piece; then returned by weight; then its status left as it is.
    ASSERT_TRUE(
        Ask(id, Request("a", Cheese, "MeasureOfQuantity=\"11\" Quantity=\"0,455\" WaitForResult=\"false\""))
            .Succeeded())
        << LastMessage();
    ASSERT_TRUE(Ask(id, "<RequestKM GUID=\"b\" MarkingCode=\"" + Base64(Cheese) +
                            "\" PlannedStatus=\"4\" MeasureOfQuantity=\"11\"/>")
                    .Succeeded())
        << LastMessage();
    ASSERT_TRUE(Ask(id, "<RequestKM GUID=\"c\" MarkingCode=\"" + Base64(Shoes) + "\" PlannedStatus=\"255\"/>")
                    .Succeeded())
        << LastMessage();

    const CallResult travelling = Answer(id);
    ASSERT_TRUE(travelling.Succeeded()) << LastMessage();
    EXPECT_EQ(Status(travelling), 1);
    EXPECT_EQ(travelling.Out(1), EmptyAnswer);
    const std::vector<std::string> expected{"<ProcessingKMResult GUID=\"a\" Result=\"true\" "
                                            "ResultCode=\"15\" StatusInfo=\"2\" HandleCode=\"0\"/>",
                                            "<ProcessingKMResult GUID=\"b\" Result=\"true\" "
                                            "ResultCode=\"15\" StatusInfo=\"1\" HandleCode=\"0\"/>",
                                            "<ProcessingKMResult GUID=\"c\" Result=\"true\" "
                                            "ResultCode=\"15\" StatusInfo=\"1\" HandleCode=\"0\"/>"};
    for (const std::string& answer : expected) {
        const CallResult arrived = Answer(id);
        EXPECT_EQ(Status(arrived), 0) << answer;
        EXPECT_EQ(CompactAnswer(arrived.Out(1)), answer);
    }
    EXPECT_EQ(Status(Answer(id)), 2);
}

TEST_F(KktMarkingTest, WithoutAnOpenSessionNothingIsCheckedAndEachDeviceHasItsOwn) {
    const std::string first = ReadyDevice();
    const std::string second = Connect(Settings());
    const std::string noSession = "Сессия регистрации кодов маркировки не открыта";

    // Closing what is not open is no fault.
    ASSERT_TRUE(CloseSession(first).Succeeded()) << LastMessage();
    const CallResult request = Ask(first, Request("a", Shoes));
    ExpectFailure(request, noSession);
    EXPECT_TRUE(request.params.at(2).IsEmpty()) << "the output stays as it was";
    ExpectFailure(Answer(first), noSession);
    ExpectFailure(Confirm(first, "a", 0), noSession);

    ASSERT_TRUE(OpenSession(first).Succeeded()) << LastMessage();
    ASSERT_TRUE(Ask(first, Request("a", Shoes)).Succeeded()) << LastMessage();
    // Opening again keeps the session and what it holds.
    ASSERT_TRUE(OpenSession(first).Succeeded()) << LastMessage();
    ASSERT_TRUE(Confirm(first, "a", 0).Succeeded()) << LastMessage();
    ExpectFailure(Ask(second, Request("a", Shoes)), noSession);
    ASSERT_TRUE(OpenSession(second).Succeeded()) << LastMessage();
    ExpectFailure(Confirm(second, "a", 0), "Запрос кода маркировки с GUID a не найден в сессии");
}

TEST_F(KktMarkingTest, ConfirmationsNameAKnownRequestAndOneOfTwoTypes) {
    const std::string id = ReadyDevice();
    ASSERT_TRUE(OpenSession(id).Succeeded()) << LastMessage();
    ASSERT_TRUE(Ask(id, Request("guid-1", Shoes)).Succeeded()) << LastMessage();
    ExpectFailure(Ask(id, Request(" GUID-1 ", Cheese)),
                  "Запрос кода маркировки с GUID GUID-1 уже передан в этой сессии");
    ExpectFailure(Confirm(id, "guid-2", 0), "Запрос кода маркировки с GUID guid-2 не найден в сессии");
    for (const std::int32_t type : {2, -1})
        ExpectFailure(Confirm(id, "guid-1", type),
                      "Неверный тип подтверждения кода маркировки: " + std::to_string(type) +
                          " (0 — код входит в чек, 1 — не входит)");
    // Kept out of the receipt, the code signs nothing.
    ASSERT_TRUE(Confirm(id, "guid-1", 1).Succeeded()) << LastMessage();
    ASSERT_TRUE(Receipt(id, Sale(MarkedPosition("Туфли", "4880", Shoes), "4880")).Succeeded())
        << LastMessage();
    EXPECT_EQ(NewDocumentLines().at(10), Line("", "[M]"));
    ASSERT_TRUE(Confirm(id, "guid-1", 0).Succeeded()) << "still in the session: " << LastMessage();
}

struct MalformedCase {
    const char* name;
    std::string request;
    std::string message;
};

class KktMalformedRequestTest : public KktMarkingTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(KktMalformedRequestTest, IsRefusedWithItsReasonAndRemembersNothing) {
    const std::string id = ReadyDevice();
    ASSERT_TRUE(OpenSession(id).Succeeded()) << LastMessage();
    const CallResult request = Ask(id, GetParam().request);
    ExpectFailure(request, GetParam().message);
    EXPECT_TRUE(request.params.at(2).IsEmpty());
    EXPECT_EQ(Status(Answer(id)), 2) << "no request was kept";
}

const std::string Code = Base64(Shoes);
const std::string Bad = "Неверный запрос кода маркировки: ";

INSTANTIATE_TEST_SUITE_P(
    Table, KktMalformedRequestTest,
    ::testing::Values(
        MalformedCase{"OtherElement",
                      "<Request GUID=\"a\" MarkingCode=\"" + Code + "\" PlannedStatus=\"1\"/>",
                      Bad + "нет элемента RequestKM"},
        MalformedCase{"NoGuid", "<RequestKM MarkingCode=\"" + Code + "\" PlannedStatus=\"1\"/>",
                      Bad + "не указан GUID"},
        MalformedCase{"BlankGuid",
                      "<RequestKM GUID=\"  \" MarkingCode=\"" + Code + "\" PlannedStatus=\"1\"/>",
                      Bad + "не указан GUID"},
        MalformedCase{"GuidTooLong",
                      "<RequestKM GUID=\"" + std::string(129, 'A') + "\" MarkingCode=\"" + Code +
                          "\" PlannedStatus=\"1\"/>",
                      Bad + "GUID длиннее 128 знаков"},
        MalformedCase{"NoCode", "<RequestKM GUID=\"a\" PlannedStatus=\"1\"/>",
                      Bad + "не указан код маркировки MarkingCode"},
        MalformedCase{"CodeNotBase64", "<RequestKM GUID=\"a\" MarkingCode=\"01046*0\" PlannedStatus=\"1\"/>",
                      "Код маркировки MarkingCode не является текстом Base64"},
        MalformedCase{"CodeTooLong",
                      "<RequestKM GUID=\"a\" MarkingCode=\"" + Base64(std::string(4097, 'A')) +
                          "\" PlannedStatus=\"1\"/>",
                      Bad + "код маркировки длиннее 4096 байт"},
        MalformedCase{"NoPlannedStatus", "<RequestKM GUID=\"a\" MarkingCode=\"" + Code + "\"/>",
                      Bad + "PlannedStatus должен быть 1, 2, 3, 4 или 255"},
        MalformedCase{"PlannedStatus5",
                      "<RequestKM GUID=\"a\" MarkingCode=\"" + Code + "\" PlannedStatus=\"5\"/>",
                      Bad + "PlannedStatus должен быть 1, 2, 3, 4 или 255"},
        MalformedCase{"PlannedStatusAsText",
                      "<RequestKM GUID=\"a\" MarkingCode=\"" + Code + "\" PlannedStatus=\"продан\"/>",
                      Bad + "PlannedStatus должен быть 1, 2, 3, 4 или 255"},
        MalformedCase{"PlannedStatusWithDecimals",
                      "<RequestKM GUID=\"a\" MarkingCode=\"" + Code + "\" PlannedStatus=\"1.0\"/>",
                      Bad + "PlannedStatus должен быть 1, 2, 3, 4 или 255"},
        MalformedCase{"QuantityZero", Request("a", Shoes, "Quantity=\"0\""),
                      Bad + "Quantity должно быть числом больше 0"},
        MalformedCase{"QuantityNegative", Request("a", Shoes, "Quantity=\"-1\""),
                      Bad + "Quantity должно быть числом больше 0"},
        MalformedCase{"QuantityAsText", Request("a", Shoes, "Quantity=\"пара\""),
                      Bad + "Quantity должно быть числом больше 0"},
        MalformedCase{"MeasureAbove255", Request("a", Shoes, "MeasureOfQuantity=\"256\""),
                      Bad + "MeasureOfQuantity должен быть целым числом от 0 до 255"},
        MalformedCase{"MeasureNegative", Request("a", Shoes, "MeasureOfQuantity=\"-1\""),
                      Bad + "MeasureOfQuantity должен быть целым числом от 0 до 255"},
        MalformedCase{"WaitForResultYes", Request("a", Shoes, "WaitForResult=\"да\""),
                      Bad + "WaitForResult должен быть true или false"},
        MalformedCase{"NotWellFormed", "<RequestKM GUID=\"a\"",
                      [] {
                          pugi::xml_document probe;
                          const pugi::xml_parse_result parsed = probe.load_string("<RequestKM GUID=\"a\"");
                          return std::string(parsed.description()) + " (offset " +
                                 std::to_string(parsed.offset) + ")";
                      }()}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltrano::hosttest
