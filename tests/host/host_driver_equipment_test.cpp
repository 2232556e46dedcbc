// The equipment test traces itself when its settings ask for a log, because the call trace cannot see a
// device in its first parameter.
#include "host_driver_fixture.h"

#include <string>

namespace veltrano::hosttest {
namespace {

std::string Settings(const std::string& logEnabled) {
    return "<Parameters><Parameter Name=\"InterfaceType\" Value=\"-1\"/>"
           "<Parameter Name=\"LogEnabled\" Value=\"" +
           logEnabled + "\"/></Parameters>";
}

TEST_F(DriverHostTest, EquipmentTestWithLogEnabledWritesItsOwnTraceLines) {
    const std::string settings = Settings("true");
    const CallResult call = driver_->Call(
        "ТестированиеОборудования", {Value::Empty(), Value::Text(settings), Value::Empty(), Value::Empty()});
    ASSERT_TRUE(call.Succeeded());
    EXPECT_EQ(call.Out(2), "Driver KKT-online training 1C:Compatible 3.X NativeAPI");

    const std::string log = LogText();
    EXPECT_NE(log.find("============Start log============="), std::string::npos) << log;
    EXPECT_NE(log.find("\tDEBUG\t> EquipmentTest: \tParams: [; " + settings + "; ; ]\r\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find("\tDEBUG\t< EquipmentTest: \tResult=True; Params: [; " + settings + "; " +
                       call.Out(2) + "; ]\r\n"),
              std::string::npos)
        << log;
    EXPECT_LT(log.find("> EquipmentTest"), log.find("< EquipmentTest"));
}

TEST_F(DriverHostTest, EquipmentTestWithLogDisabledWritesNothing) {
    for (const char* value : {"false", "0", "no"}) {
        const CallResult call =
            driver_->Call("ТестированиеОборудования",
                          {Value::Empty(), Value::Text(Settings(value)), Value::Empty(), Value::Empty()});
        // A device setting takes only "true" and "false" as Booleans; the others fail the test's connection.
        EXPECT_EQ(call.Succeeded(), std::string(value) == "false") << value;
    }
    EXPECT_EQ(LogText().find("EquipmentTest"), std::string::npos);
}

TEST_F(DriverHostTest, FailedEquipmentTestTracesTheFailureAndGivesItsMessage) {
    const std::string settings =
        "<Parameters><Parameter Name=\"LogEnabled\" Value=\"TRUE\"/><Parameter></Parameters>";
    const CallResult call = driver_->Call(
        "ТестированиеОборудования", {Value::Empty(), Value::Text(settings), Value::Empty(), Value::Empty()});
    EXPECT_TRUE(call.returned);
    EXPECT_FALSE(call.result.boolean);
    const testhost::LastErrorInfo error = driver_->LastError();
    EXPECT_EQ(error.code, 1001);
    EXPECT_EQ(call.Out(2), error.description);
    // Unparsable settings cannot switch the log on, so nothing is traced.
    EXPECT_EQ(LogText().find("EquipmentTest"), std::string::npos);
}

} // namespace
} // namespace veltrano::hosttest
