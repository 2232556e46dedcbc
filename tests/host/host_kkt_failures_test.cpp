// An operation that fails leaves DataFN.xml byte for byte as it was and adds nothing to the output file.
#include "host_kkt_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace veltrano::hosttest {
namespace {

class KktFailuresTest : public KktHostTest {
protected:
    // Runs the failing call and checks its message and that neither file changed.
    void ExpectRefused(const std::function<CallResult()>& call, const std::string& message) {
        const std::string storage = StorageBytes();
        const std::string output = OutputBytes();
        ASSERT_FALSE(storage.empty());
        const CallResult result = call();
        EXPECT_TRUE(result.returned);
        EXPECT_FALSE(result.result.boolean);
        EXPECT_EQ(driver_->LastError().code, 1001);
        EXPECT_EQ(LastMessage(), message);
        EXPECT_EQ(StorageBytes(), storage) << message;
        EXPECT_EQ(OutputBytes(), output) << message;
    }
};

TEST_F(KktFailuresTest, ShiftAndCashRulesRefuseWithoutAnyTrace) {
    const std::string id = Connect(Settings());
    ASSERT_FALSE(id.empty());

    ExpectRefused([&] { return CloseShift(id); }, "Смена закрыта");
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    ExpectRefused([&] { return OpenShift(id); }, "Смена открыта");
    ExpectRefused([&] { return SettlementsReport(id); }, "ККМ не фискализирована");
    EditStorage({{"FNLifeState", "1"}});
    ExpectRefused([&] { return SettlementsReport(id); }, "Смена открыта");

    ASSERT_TRUE(CashInOut(id, 100).Succeeded()) << LastMessage();
    ExpectRefused([&] { return CashInOut(id, -100.01); }, "Недостаточно наличности в кассе");
    // The whole balance can go.
    ASSERT_TRUE(CashInOut(id, -100).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("M241"), "0");
    ExpectRefused([&] { return CashInOut(id, -0.01); }, "Недостаточно наличности в кассе");

    ExpectRefused(
        [&] {
            return driver_->Call("ОткрытьСмену",
                                 {Value::Text(id), Value::Text("<InputParameters>"), Value::Empty()});
        },
        [] {
            pugi::xml_document probe;
            const pugi::xml_parse_result parsed = probe.load_string("<InputParameters>");
            return std::string(parsed.description()) + " (offset " + std::to_string(parsed.offset) + ")";
        }());
}

TEST_F(KktFailuresTest, AClosedStorageOpensNoShift) {
    const std::string id = Connect(Settings());
    ASSERT_FALSE(id.empty());
    EditStorage({{"FNLifeState", "2"}});
    const std::string storage = StorageBytes();
    EXPECT_FALSE(OpenShift(id).result.boolean);
    EXPECT_FALSE(LastMessage().empty());
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_FALSE(std::filesystem::exists(OutputFile()));
}

TEST_F(KktFailuresTest, AnOutputFileThatCannotBeWrittenStopsTheDocumentBeforeItIsSaved) {
    // Only one missing folder level is made for the output file.
    const std::string id =
        Connect(Settings({{"PrintOutFilePath", (root_ / "missing" / "deeper" / "out.txt").string()}}));
    ASSERT_FALSE(id.empty());
    const std::string message = "Ошибка записи файла: Некорректный путь файла вывода чека";
    ExpectRefused([&] { return OpenShift(id); }, message);
    ExpectRefused([&] { return CashInOut(id, 10); }, message);
    ExpectRefused([&] { return XReport(id); }, message);
    EXPECT_FALSE(std::filesystem::exists(root_ / "missing"));
    EXPECT_EQ(Field("DayState"), "0");
    EXPECT_EQ(Field("TotalDocCounter"), "0");
}

TEST_F(KktFailuresTest, AStorageDamagedBetweenOperationsFailsEachOperationAndIsLeftAlone) {
    const std::string id = Connect(Settings());
    ASSERT_FALSE(id.empty());
    const std::string damaged = "<?xml version=\"1.0\"?>\r\n<DataFN>\r\n<KKTNumber Value=\"1\"";
    std::ofstream(StorageFile(), std::ios::binary | std::ios::trunc) << damaged;

    pugi::xml_document probe;
    const pugi::xml_parse_result parsed = probe.load_string(damaged.c_str());
    ASSERT_FALSE(parsed);
    const std::string message =
        std::string(parsed.description()) + " (offset " + std::to_string(parsed.offset) + ")";
    ExpectRefused([&] { return OpenShift(id); }, message);
    ExpectRefused([&] { return CashInOut(id, 1); }, message);
    ExpectRefused([&] { return XReport(id); }, message);
    ExpectRefused([&] { return Status(id); }, message);
    EXPECT_EQ(StorageBytes(), damaged);
}

TEST_F(KktFailuresTest, AZReportOnAStorageLackingAShiftCounterIsRefusedBeforeItReachesTheOutputFile) {
    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    // The Z report reads everything it prints, but not the shift's receipt count it clears.
    pugi::xml_document storage;
    ASSERT_TRUE(storage.load_file(StorageFile().c_str()));
    ASSERT_TRUE(storage.child("DataFN").remove_child("ReceiptNumber"));
    ASSERT_TRUE(storage.save_file(StorageFile().c_str()));
    ExpectRefused([&] { return CloseShift(id); }, "Не найдено поле ReceiptNumber в ФН");
}

TEST_F(KktFailuresTest, AStorageEditedByHandIsTakenByTheNextOperation) {
    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    EditStorage({{"M241", "1234,5"}});
    ASSERT_TRUE(CashInOut(id, -1000).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("M241"), "234.5");
}

} // namespace
} // namespace veltrano::hosttest
