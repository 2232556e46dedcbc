// Every cash-register adapter selects its device first: without a connected device it fails with the
// selection's message, code 1001, and runs nothing else.
#include "host_driver_fixture.h"

#include <string>
#include <vector>

namespace veltrano::hosttest {
namespace {

struct AdapterCase {
    const char* name;
    int paramCount;
};

const AdapterCase kAdapters[] = {
    {"ПолучитьПараметрыККТ", 2},
    {"ОперацияФН", 3},
    {"ОткрытьСмену", 3},
    {"ЗакрытьСмену", 3},
    {"СформироватьЧек", 4},
    {"СформироватьЧекКоррекции", 4},
    {"НапечататьТекстовыйДокумент", 2},
    {"НапечататьЧекВнесенияВыемки", 3},
    {"НапечататьОтчетБезГашения", 2},
    {"ПолучитьТекущееСостояние", 3},
    {"ОтчетОТекущемСостоянииРасчетов", 3},
    {"ОткрытьДенежныйЯщик", 1},
    {"ПолучитьШиринуСтроки", 2},
    {"НапечататьКопиюЧека", 2},
    {"ОткрытьСессиюРегистрацииКМ", 1},
    {"ЗакрытьСессиюРегистрацииКМ", 1},
    {"ЗапросКМ", 3},
    {"ПолучитьРезультатыЗапросаКМ", 3},
    {"ПодтвердитьКМ", 3},
    {"УстановитьДатуВремя", 2},
    {"ПолучитьДатуВремя", 2},
    {"ПолучитьИнформациюПоДокументу", 3},
};

std::vector<Value> Arguments(const std::string& deviceId, int paramCount) {
    std::vector<Value> args{Value::Text(deviceId)};
    // Malformed XML everywhere: selection comes first, so the parser never gets to complain.
    for (int i = 1; i < paramCount; ++i)
        args.push_back(Value::Text("<not-closed"));
    return args;
}

TEST_F(DriverHostTest, AdaptersWithoutADeviceIdentifierSaySoFirst) {
    for (const AdapterCase& adapter : kAdapters) {
        for (const char* deviceId : {"", "   "}) {
            const CallResult call = driver_->Call(adapter.name, Arguments(deviceId, adapter.paramCount));
            EXPECT_TRUE(call.returned) << adapter.name;
            EXPECT_TRUE(call.hostErrors.empty()) << adapter.name;
            EXPECT_FALSE(call.result.boolean) << adapter.name;
            const testhost::LastErrorInfo error = driver_->LastError();
            EXPECT_EQ(error.code, 1001) << adapter.name;
            EXPECT_EQ(error.description, "Не передан идентификатор устройства") << adapter.name;
        }
    }
}

TEST_F(DriverHostTest, AdaptersForADeviceThatIsNotConnectedNameIt) {
    const std::string deviceId = "0B5E3A1C-7D2F-4E8A-9C61-2F7A4D3B9E10";
    const std::string message =
        "Экземпляр устройства c идентификатором " + deviceId + " не существует или уже был отключен";
    for (const AdapterCase& adapter : kAdapters) {
        const CallResult call = driver_->Call(adapter.name, Arguments(deviceId, adapter.paramCount));
        EXPECT_TRUE(call.returned) << adapter.name;
        EXPECT_FALSE(call.result.boolean) << adapter.name;
        for (std::size_t i = 1; i < call.params.size(); ++i)
            EXPECT_EQ(call.params[i].text, "<not-closed") << adapter.name << " changed parameter " << i;
        const testhost::LastErrorInfo error = driver_->LastError();
        EXPECT_EQ(error.code, 1001) << adapter.name;
        EXPECT_EQ(error.description, message) << adapter.name;
    }
}

TEST_F(DriverHostTest, AConnectedIdentifierIsSelectableUntilItsDisconnection) {
    const CallResult connect = driver_->Call("ПодключитьОборудование",
                                             {Value::Empty(), Value::Empty(), Value::Text("<Parameters/>")});
    ASSERT_TRUE(connect.Succeeded());
    const std::string deviceId = connect.Out(0);
    ASSERT_EQ(deviceId.size(), 36u);
    EXPECT_EQ(deviceId.find_first_of("abcdef{}"), std::string::npos) << deviceId;

    EXPECT_TRUE(driver_->Call("ПолучитьШиринуСтроки", {Value::Text(deviceId), Value::Empty()}).Succeeded());
    EXPECT_TRUE(driver_->Call("ОтключитьОборудование", {Value::Text(deviceId)}).Succeeded());
    EXPECT_FALSE(
        driver_->Call("ПолучитьШиринуСтроки", {Value::Text(deviceId), Value::Empty()}).result.boolean);
    EXPECT_NE(driver_->LastError().description.find(deviceId), std::string::npos);
}

TEST_F(DriverHostTest, ExternalDeviceIdIsAccepted) {
    EXPECT_TRUE(driver_->Call("SetExternalDeviceId", {Value::Text("KASSA-07")}).Succeeded());
    EXPECT_EQ(driver_->LastError().code, 0);
}

} // namespace
} // namespace veltrano::hosttest
