#include "driver/errors.h"
#include "kkt/frame/document_clock.h"
#include "kkt/operations/receipt_operation.h"
#include "receipt_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string Package(const std::string& parameters, const std::string& positions,
                    const std::string& payments) {
    return "<CheckPackage><Parameters CashierName=\"Отказов О.О.\" " + parameters + "/><Positions>" +
           positions + "</Positions><Payments " + payments + "/></CheckPackage>";
}

std::string Position(const std::string& amount, const std::string& rate, const std::string& more = {}) {
    return "<FiscalString Name=\"Хлеб\" Quantity=\"1\" PriceWithDiscount=\"" + amount +
           "\" AmountWithDiscount=\"" + amount + "\" VATRate=\"" + rate + "\" " + more + "/>";
}

const std::string SaleOf100 = Package("OperationType=\"1\"", Position("100", "20"), "Cash=\"100\"");

struct Outcome {
    std::string message;
    std::int32_t code = 0;
};

struct RefusalCase {
    const char* name;
    Fields edits;
    std::string package;
    std::string message;
    std::int32_t code = 0;
};

class ReceiptRefusals : public ReceiptTest, public ::testing::WithParamInterface<RefusalCase> {
protected:
    // The failure of the receipt; the output document must stay without any element.
    Outcome Refuse(const std::string& packageXml) {
        pugi::xml_document package;
        package.load_string(packageXml.c_str());
        pugi::xml_document output = EmptyOutput();
        Outcome outcome;
        try {
            ProcessCheck(Instance(), false, package, output);
            ADD_FAILURE() << "the receipt was made";
        } catch (const driver::EquException& error) {
            outcome = {error.what(), error.Code};
        } catch (const std::exception& error) {
            outcome = {error.what(), 0};
        }
        EXPECT_EQ(Compact(output), "");
        return outcome;
    }
};

TEST_P(ReceiptRefusals, GiveTheirMessageAndLeaveBothFilesAsTheyWere) {
    const RefusalCase& refusal = GetParam();
    PutCash(Money::FromWhole(50));
    if (!refusal.edits.empty())
        EditStorage(refusal.edits);
    const std::string storage = StorageBytes();
    const std::string output = OutputBytes();

    const Outcome outcome = Refuse(refusal.package);
    EXPECT_EQ(outcome.message, refusal.message);
    EXPECT_EQ(outcome.code, refusal.code);
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_EQ(OutputBytes(), output);
}

INSTANTIATE_TEST_SUITE_P(
    Shift, ReceiptRefusals,
    ::testing::Values(RefusalCase{"NoShiftOpen", {{"DayState", "0"}}, SaleOf100, "Смена закрыта"},
                      RefusalCase{
                          "ShiftClosedBeforeAnEmptyPackage", {{"DayState", "0"}}, "", "Смена закрыта"},
                      RefusalCase{"ShiftOlderThan24Hours",
                                  {{"DayStart", std::to_string(TestMoment() - 86401)}},
                                  SaleOf100,
                                  "Длительность смены превысила 24 часа"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Package, ReceiptRefusals,
    ::testing::Values(
        RefusalCase{"NoRootElement", {}, "", "Данные для печати чека отсутствуют"},
        RefusalCase{"OnlyAComment", {}, "<!-- чек -->", "Данные для печати чека отсутствуют"},
        RefusalCase{
            "NoParameters", {}, "<P><Positions/><Payments/></P>", "Ошибка входных параметров команды"},
        RefusalCase{"NoPositions",
                    {},
                    "<P><Parameters OperationType=\"1\"/><Payments/></P>",
                    "Ошибка входных параметров команды"},
        RefusalCase{"NoPayments",
                    {},
                    "<P><Parameters OperationType=\"1\"/><Positions/></P>",
                    "Ошибка входных параметров команды"},
        RefusalCase{"PartsDeeperThanTheRoot",
                    {},
                    "<P><X><Parameters OperationType=\"1\"/><Positions/><Payments/></X></P>",
                    "Ошибка входных параметров команды"},
        RefusalCase{"OperationTypeMissing", {}, Package("", "", ""), "Ошибка входных параметров команды"},
        RefusalCase{"OperationType0",
                    {},
                    Package("OperationType=\"0\"", "", ""),
                    "Ошибка входных параметров команды"},
        RefusalCase{"OperationType5",
                    {},
                    Package("OperationType=\"5\"", "", ""),
                    "Ошибка входных параметров команды"},
        RefusalCase{"OperationType256",
                    {},
                    Package("OperationType=\"256\"", "", ""),
                    "Ошибка входных параметров команды"},
        RefusalCase{"OperationTypeAsText",
                    {},
                    Package("OperationType=\"приход\"", "", ""),
                    "Ошибка входных параметров команды"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Positions, ReceiptRefusals,
    ::testing::Values(
        RefusalCase{"VatRateEmpty",
                    {},
                    Package("OperationType=\"1\"", Position("100", ""), "Cash=\"100\""),
                    "Налоговая группа вне допустимого диапазона"},
        RefusalCase{"VatRateWithPercent",
                    {},
                    Package("OperationType=\"1\"", Position("100", "20%"), "Cash=\"100\""),
                    "Налоговая группа вне допустимого диапазона"},
        RefusalCase{"VatRateWithLeadingSpace",
                    {},
                    Package("OperationType=\"1\"", Position("100", " 20"), "Cash=\"100\""),
                    "Налоговая группа вне допустимого диапазона"},
        RefusalCase{"VatRateWithDecimals",
                    {},
                    Package("OperationType=\"1\"", Position("100", "20.0"), "Cash=\"100\""),
                    "Налоговая группа вне допустимого диапазона"},
        RefusalCase{
            "VatRateOfTheSecondPosition",
            {},
            Package("OperationType=\"1\"", Position("100", "10") + Position("1", "12"), "Cash=\"101\""),
            "Налоговая группа вне допустимого диапазона"},
        RefusalCase{
            "Rates20And18",
            {},
            Package("OperationType=\"1\"", Position("100", "20") + Position("100", "18"), "Cash=\"200\""),
            "Недопустимо сочетание налогов 20% и 18% в одном документе"},
        RefusalCase{"Rates18Over118And20Over120",
                    {},
                    Package("OperationType=\"2\"", Position("100", "18/118") + Position("1", "20/120"),
                            "Cash=\"101\""),
                    "Недопустимо сочетание налогов 20% и 18% в одном документе"},
        RefusalCase{"NegativeAmount",
                    {},
                    Package("OperationType=\"1\"", Position("-1", "10"), ""),
                    "Сумма позиции не может быть отрицательной: Хлеб"},
        RefusalCase{"HugeAmount",
                    {},
                    Package("OperationType=\"1\"", Position("1e20", "10"), "Cash=\"1\""),
                    "Значение атрибута PriceWithDiscount вне допустимого диапазона"},
        RefusalCase{"HugeDiscount",
                    {},
                    Package("OperationType=\"1\"",
                            Position("1", "10", "DiscountAmount=\"99999999999999999999\""), "Cash=\"1\""),
                    "Значение атрибута DiscountAmount вне допустимого диапазона"},
        RefusalCase{"HugeQuantity",
                    {},
                    Package("OperationType=\"1\"", "<FiscalString Quantity=\"1e999\" VATRate=\"10\"/>", ""),
                    "Значение атрибута Quantity вне допустимого диапазона"},
        RefusalCase{"TotalBeyondTheRangeOfAmounts",
                    {},
                    Package("OperationType=\"1\"",
                            Position("500000000000000", "none") + Position("500000000000000", "none"),
                            "Cash=\"1\""),
                    "Сумма вне допустимого диапазона"},
        RefusalCase{
            "MarkingCodeThatIsNoBase64",
            {},
            Package("OperationType=\"1\"", Position("1", "10", "MarkingCode=\"01046*0\""), "Cash=\"1\""),
            "Код маркировки позиции не является текстом Base64"},
        RefusalCase{"BarcodeValueThatIsNoBase64",
                    {},
                    Package("OperationType=\"1\"", "<Barcode Type=\"EAN13\" ValueBase64=\"%%%\"/>", ""),
                    "Значение штрихкода ValueBase64 не является текстом Base64"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Payments, ReceiptRefusals,
    ::testing::Values(
        RefusalCase{"Underpaid",
                    {},
                    Package("OperationType=\"1\"", Position("100", "20"), "Cash=\"50\""),
                    "Сумма оплаты не соответствует сумме документа: оплачено 50.00 из 100.00",
                    3009},
        RefusalCase{"UnderpaidByRoundingToKopecks",
                    {},
                    Package("OperationType=\"1\"", Position("100.004", "20"), "Cash=\"100.004\""),
                    "Сумма оплаты не соответствует сумме документа: оплачено 100.00 из 100.00",
                    3009},
        RefusalCase{
            "OtherThanCashAboveTheTotal",
            {},
            Package("OperationType=\"1\"", Position("100", "20"), "ElectronicPayment=\"150\""),
            "Сумма оплаты не соответствует сумме документа: оплаты кроме наличных 150.00 больше суммы "
            "чека 100.00",
            3009},
        RefusalCase{"NegativePayment",
                    {},
                    Package("OperationType=\"1\"", "", "Cash=\"10\" Barter=\"-10\""),
                    "Сумма оплаты Barter не может быть отрицательной"},
        RefusalCase{"HugePayment",
                    {},
                    Package("OperationType=\"1\"", Position("100", "20"), "Cash=\"99999999999999999999\""),
                    "Значение атрибута Cash вне допустимого диапазона"},
        RefusalCase{
            "PaidBeyondTheRangeOfAmounts",
            {},
            Package(
                "OperationType=\"1\"", Position("100", "20"),
                "Cash=\"900000000000000\" PostPayment=\"90\" Barter=\"10\" PrePayment=\"900000000000000\""),
            "Сумма вне допустимого диапазона"},
        RefusalCase{"SaleReturnAboveTheDrawer",
                    {},
                    Package("OperationType=\"2\"", Position("50.01", "20"), "Cash=\"50.01\""),
                    "Недостаточно наличности в кассе"},
        RefusalCase{"PurchaseAboveTheDrawer",
                    {},
                    Package("OperationType=\"3\"", Position("60", "20"), "Cash=\"60\""),
                    "Недостаточно наличности в кассе"},
        RefusalCase{"ChangeAboveTheDrawer",
                    {},
                    Package("OperationType=\"1\"", Position("120.50", "20"), "Cash=\"500\""),
                    "Недостаточно наличности в кассе"},
        RefusalCase{"PurchaseReturnChangeAboveTheDrawer",
                    {},
                    Package("OperationType=\"4\"", Position("10", "20"), "Cash=\"60.01\""),
                    "Недостаточно наличности в кассе"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Storage, ReceiptRefusals,
                         ::testing::Values(RefusalCase{"RegisterThatIsNoNumber",
                                                       {{"M72", "abc"}},
                                                       SaleOf100,
                                                       "Значение поля M72 в ФН не является числом: \"abc\""},
                                           RefusalCase{"RegisterBeyondTheRangeOfAmounts",
                                                       {{"M193", "922337203685477"}},
                                                       SaleOf100,
                                                       "Сумма вне допустимого диапазона"},
                                           RefusalCase{"CounterAtItsEnd",
                                                       {{"TotalDocCounter", "9223372036854775807"}},
                                                       SaleOf100,
                                                       "Счетчик TotalDocCounter в ФН переполнен"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiptTest, ACashRefusalLaysOutTheCancellationAndKeepsTheCashier) {
    pugi::xml_document output = EmptyOutput();
    const pugi::xml_document package = ParsePackage(
        Package("OperationType=\"2\" CashierINN=\"500100732259\"", Position("10", "10"), "Cash=\"10\""));
    EXPECT_THROW(ProcessCheck(Instance(), false, package, output), std::runtime_error);

    const Lines buffer = BufferTexts();
    ASSERT_FALSE(buffer.empty());
    EXPECT_EQ(buffer.back(), Centered("ЧЕК АННУЛИРОВАН"));
    EXPECT_EQ(buffer.at(buffer.size() - 2), Line("СУММА НДС 10%", "=0.91"));
    EXPECT_EQ(Instance().CurrentCashier().Name, "Отказов О.О.");
    EXPECT_EQ(Instance().CurrentCashier().INN, "500100732259");
    EXPECT_EQ(NewOutputLines(), Lines{});
}

moment::DateTime LastMomentOf2018() {
    return moment::DateTime{2018, 12, 31, 23, 59, 59, 0};
}

TEST_F(ReceiptTest, Rates20And20Over120AreRefusedBefore2019) {
    SetDocumentClock(&LastMomentOf2018);
    const std::string storage = StorageBytes();
    for (const char* rate : {"20", "20/120"}) {
        pugi::xml_document output = EmptyOutput();
        const pugi::xml_document package =
            ParsePackage(Package("OperationType=\"1\"", Position("10", rate), "Cash=\"10\""));
        try {
            ProcessCheck(Instance(), false, package, output);
            ADD_FAILURE() << rate << " was taken";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Налог 20% и 20/120 не поддерживается") << rate;
        }
    }
    EXPECT_EQ(StorageBytes(), storage);

    Check(Package("OperationType=\"1\"", Position("10", "18") + Position("10", "18/118"), "Cash=\"20\""));
    EXPECT_EQ(StoredValue("ReceiptNumber"), "1");
}

TEST_F(ReceiptTest, AnOutputFileThatCannotBeWrittenSavesNothing) {
    const std::string storage = StorageBytes();
    const std::filesystem::path unreachable = root / "missing" / "deeper" / "receipts.txt";
    Instance().PrintOutFilePath = unreachable.string();
    Device().PrintOutFilePath = unreachable.string();

    try {
        Check(Package("OperationType=\"1\"", Position("10", "10"), "ElectronicPayment=\"10\""));
        ADD_FAILURE() << "the receipt was made";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Ошибка записи файла: Некорректный путь файла вывода чека");
    }
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_FALSE(std::filesystem::exists(root / "missing"));
}

} // namespace
} // namespace veltrano::kkt::testing
