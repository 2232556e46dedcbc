// Method calls through the component object of the built module: host errors, unsupported arguments,
// CallAsProc, the log selection and the call trace.
#include "host_testhost_fixture.h"

#include <algorithm>

namespace veltrano::testhost::tests {
namespace {

class HostCalls : public HostTest {
protected:
    // A last error that a later operation that runs would clear.
    void MakeLastError() {
        const CallResult call =
            component->Call("ВыполнитьДополнительноеДействие", {Value::Text("NoSuchAction")});
        ASSERT_TRUE(call.returned);
        ASSERT_EQ(component->LastError().code, 1001);
    }
};

TEST_F(HostCalls, RevisionAndLastErrorCycle) {
    const CallResult revision = component->Call("GetInterfaceRevision");
    EXPECT_TRUE(revision.returned);
    EXPECT_EQ(revision.result.vt, napi::VTYPE_I4);
    EXPECT_EQ(revision.result.integer, 4004);

    LastErrorInfo last = component->LastError();
    EXPECT_EQ(last.code, 0);
    EXPECT_EQ(last.description, "");

    const CallResult failed =
        component->Call("ВыполнитьДополнительноеДействие", {Value::Text("NoSuchAction")});
    EXPECT_TRUE(failed.returned);
    ASSERT_TRUE(failed.result.IsBool());
    EXPECT_FALSE(failed.result.boolean);
    last = component->LastError();
    EXPECT_EQ(last.code, 1001);
    EXPECT_EQ(last.description, "Action not found");
    EXPECT_EQ(component->LastError().code, 1001) << "reading the last error does not change it";

    EXPECT_TRUE(component->Call("УстановитьЛокализацию", {Value::Text("ru"), Value::Text("")}).Succeeded());
    EXPECT_EQ(component->LastError().code, 0);
    EXPECT_TRUE(host->Connection().Errors().empty());
}

TEST_F(HostCalls, NullArgumentIsHostError1006AndTheOperationDoesNotRun) {
    MakeLastError();
    const CallResult call = component->Call("УстановитьИнформациюПриложения", {Value::Null()});
    EXPECT_FALSE(call.returned);
    ASSERT_EQ(call.hostErrors.size(), 1u);
    EXPECT_EQ(call.hostErrors[0].code, 1006);
    EXPECT_EQ(call.hostErrors[0].source, "Внешняя компонента");
    EXPECT_EQ(call.hostErrors[0].description, "Unsupported data type - VTYPE_NULL");
    EXPECT_EQ(call.hostErrors[0].scode, static_cast<long>(0x80004005L));
    EXPECT_TRUE(call.hostErrors[0].descriptionIsHostMemory);
    EXPECT_TRUE(call.result.IsEmpty()) << "the operation wrote no result";
    // Had the operation run, its success would have cleared the last error.
    EXPECT_EQ(component->LastError().code, 1001);
}

TEST_F(HostCalls, NullInAnyPositionFailsTheCall) {
    MakeLastError();
    const CallResult call = component->Call("УстановитьЛокализацию", {Value::Text("ru"), Value::Null()});
    EXPECT_FALSE(call.returned);
    ASSERT_EQ(call.hostErrors.size(), 1u);
    EXPECT_EQ(call.hostErrors[0].description, "Unsupported data type - VTYPE_NULL");
    EXPECT_EQ(component->LastError().code, 1001);
}

TEST_F(HostCalls, UnsupportedTypesAreNamed) {
    struct Case {
        Value value;
        const char* message;
    } cases[] = {
        {Value::Int(5).ByRef(), "Unsupported data type - VTYPE_I4 by ref"},
        {Value::Int(5).WithFlags(napi::VTYPE_ARRAY), "Unsupported data type - VTYPE_I4 array"},
        {Value::Text("x").WithFlags(napi::VTYPE_VECTOR), "Unsupported data type - VTYPE_PWSTR vector"},
        {Value::Date(45000.0), "Unsupported data type - VTYPE_DATE"},
        {Value::PChar("ab"), "Unsupported data type - VTYPE_PSTR"},
        {Value::Raw(napi::VTYPE_CLSID), "Unsupported data type - VTYPE_CLSID"},
        {Value::Raw(napi::VTYPE_STR_BLOB), "Unsupported data type - VTYPE_STR_BLOB"},
        {Value::Raw(0x123), "Unsupported data type - unknown type"},
    };
    for (const Case& c : cases) {
        const CallResult call = component->Call("УстановитьИнформациюПриложения", {c.value});
        EXPECT_FALSE(call.returned) << c.message;
        ASSERT_EQ(call.hostErrors.size(), 1u) << c.message;
        EXPECT_EQ(call.hostErrors[0].description, c.message);
    }
}

TEST_F(HostCalls, SupportedArgumentTypesPass) {
    std::tm moment{};
    moment.tm_year = 125;
    moment.tm_mon = 11;
    moment.tm_mday = 31;
    for (const Value& value : {Value::Empty(), Value::Bool(true), Value::Int(-1), Value::Int64(1LL << 40),
                               Value::Double(0.5), Value::Text("текст"), Value::Blob(std::string("\0\1", 2)),
                               Value::Tm(moment), Value::Raw(napi::VTYPE_INTERFACE)}) {
        const CallResult call = component->Call("УстановитьИнформациюПриложения", {value});
        EXPECT_TRUE(call.Succeeded()) << value.TypeText();
        EXPECT_TRUE(call.hostErrors.empty()) << value.TypeText();
    }
}

TEST_F(HostCalls, InvalidMomentIsAHostError) {
    std::tm moment{}; // day 0 is no date
    const CallResult call = component->Call("УстановитьИнформациюПриложения", {Value::Tm(moment)});
    EXPECT_FALSE(call.returned);
    ASSERT_EQ(call.hostErrors.size(), 1u);
    EXPECT_EQ(call.hostErrors[0].code, 1006);
}

TEST_F(HostCalls, CallAsProcRunsTheMethod) {
    CallResult call = component->CallProc("ВыполнитьДополнительноеДействие", {Value::Text("NoSuchAction")});
    EXPECT_TRUE(call.returned);
    EXPECT_TRUE(call.result.IsEmpty());
    EXPECT_EQ(component->LastError().code, 1001);
    call = component->CallProc("УстановитьЛокализацию", {Value::Text("ru"), Value::Text("")});
    EXPECT_TRUE(call.returned);
    EXPECT_EQ(component->LastError().code, 0);
    call = component->CallProc("ПолучитьОписание", {Value::Empty()});
    EXPECT_TRUE(call.returned);
    EXPECT_NE(call.Out(0).find("<DriverDescription"), std::string::npos);
    EXPECT_TRUE(host->Connection().Errors().empty());
}

TEST_F(HostCalls, FrameworkRevisionEntryFailsAsHostError) {
    MakeLastError();
    const CallResult call = component->CallIndex(24, {});
    EXPECT_FALSE(call.returned);
    ASSERT_EQ(call.hostErrors.size(), 1u);
    EXPECT_EQ(call.hostErrors[0].code, 1006);
    EXPECT_EQ(call.hostErrors[0].description, "Abstract Error");
    EXPECT_EQ(component->LastError().code, 1001) << "entry 24 has no guard of its own";
    EXPECT_EQ(component->CallIndex(0, {}).result.integer, 4004);
}

TEST_F(HostCalls, OutParametersAreReadBack) {
    const CallResult call =
        component->Call("АвтонастройкаОборудования", {Value::Empty(), Value::Text("вход"), Value::Empty(),
                                                      Value::Empty(), Value::Empty()});
    EXPECT_TRUE(call.Succeeded());
    EXPECT_EQ(call.params.at(2).vt, napi::VTYPE_PWSTR);
    EXPECT_EQ(call.Out(2), "вход");
    EXPECT_EQ(call.Out(1), "вход");
}

// The per-call log selection is visible through the log switch: a call whose first argument is no device
// identifier holds the log for the call without changing the switch; one with an identifier of no logged
// device switches it off.
TEST_F(HostCalls, LogSelectionFollowsTheFirstArgument) {
    auto logSwitch = [&] {
        const PropResult read = component->GetProp("LogEnabled");
        EXPECT_TRUE(read.returned);
        return read.value.boolean;
    };
    EXPECT_FALSE(logSwitch()) << "the log starts switched off";
    component->Call("ПолучитьРевизиюИнтерфейса");
    EXPECT_FALSE(logSwitch()) << "a call without a device holds the log but leaves the switch alone";
    component->SetProp("LogEnabled", Value::Bool(true));
    component->Call("ПолучитьРевизиюИнтерфейса");
    EXPECT_TRUE(logSwitch()) << "the hold of a call without a device does not read as a change";
    component->Call("ОткрытьДенежныйЯщик", {Value::Text("11111111-2222-3333-4444-555555555555")});
    EXPECT_FALSE(logSwitch()) << "an identifier without a logged device: off";
    component->Call("ОткрытьДенежныйЯщик", {Value::Text("{11111111-2222-3333-4444-555555555555}")});
    EXPECT_FALSE(logSwitch()) << "no identifier: held, the switch stays off";
    component->SetProp("LogEnabled", Value::Bool(true));
    component->Call("ОткрытьДенежныйЯщик", {Value::Blob("11111111-2222-3333-4444-555555555555")});
    EXPECT_TRUE(logSwitch()) << "a blob is skipped: held, the switch stays on";
}

TEST_F(HostCalls, CallsWithoutALoggedDeviceWriteNoTrace) {
    component->SetProp("LogEnabled", Value::Bool(true)); // mode 3 until the next call chooses
    component->Call("ОткрытьСмену", {Value::Text("not a device"), Value::Text("<x/>"), Value::Empty()});
    component->SetProp("LogEnabled", Value::Bool(true));
    component->Call("ОткрытьСмену", {Value::Text("11111111-2222-3333-4444-555555555555"), Value::Text("<x/>"),
                                     Value::Empty()});
    for (const std::string& line : data.LogLines("DEBUG"))
        EXPECT_TRUE(line.rfind("> OpenShift", 0) != 0 && line.rfind("< OpenShift", 0) != 0) << line;
}

// A device connected with LogEnabled true has its calls traced: one opening and one closing DEBUG line.
TEST_F(HostCalls, LoggedDeviceCallsAreTraced) {
    const std::string settings = "<?xml version=\"1.0\"?>\r\n<Parameters>\r\n"
                                 "<Parameter Name=\"LogEnabled\" Value=\"true\"/>\r\n"
                                 "<Parameter Name=\"ShowReceiptForm\" Value=\"1\"/>\r\n"
                                 "<Parameter Name=\"EnablePrinting\" Value=\"2\"/>\r\n"
                                 "<Parameter Name=\"EnableReportPrinting\" Value=\"2\"/>\r\n"
                                 "</Parameters>";
    const CallResult connect =
        component->Call("ПодключитьОборудование", {Value::Empty(), Value::Text(""), Value::Text(settings)});
    ASSERT_TRUE(connect.returned);
    const std::string id = connect.Out(0);
    ASSERT_EQ(id.size(), 36u) << "ПодключитьОборудование gave no identifier: "
                              << component->LastError().description;

    const CallResult width = component->Call("ПолучитьШиринуСтроки", {Value::Text(id), Value::Empty()});
    ASSERT_TRUE(width.Succeeded()) << component->LastError().description;
    const auto lines = data.LogLines("DEBUG");
    const auto opening = std::find(lines.begin(), lines.end(), "> GetLineLength: \tParams: [" + id + "; ]");
    ASSERT_NE(opening, lines.end()) << data.LogText();
    const std::string closing = "< GetLineLength: \tResult=True; Params: [" + id + "; " +
                                std::to_string(width.params[1].integer) + "]";
    EXPECT_NE(std::find(opening, lines.end(), closing), lines.end()) << data.LogText();
    // The connection itself: no opening line (its first parameter was empty) but a closing line.
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("> ConnectEquipment", 0) == 0; }),
              0);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("< ConnectEquipment", 0) == 0; }),
              1);
    component->Call("ОтключитьОборудование", {Value::Text(id)});
}

} // namespace
} // namespace veltrano::testhost::tests
