// The component object over a fake driver class: slots, name lookup, host copies, calls, host
// errors and the call trace.
#include "addin/component.h"

#include "addin/variant.h"
#include "fakes.h"
#include "log/log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace veltrano::addin {
namespace {

using namespace veltrano::addin::testing;

constexpr char kDevice[] = "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearClassRegistry();
        reg = &RegisterClass(&MakeFake, LeafDecls(), u"Fake");
        component = std::make_unique<ComponentObject>(*reg, MakeFake());
        savedMode = log::GetLogMode();
    }
    void TearDown() override {
        component.reset();
        ClearClassRegistry();
        log::SetLogMode(savedMode);
    }
    void Attach() {
        component->Init(static_cast<napi::IAddInDefBase*>(&connection));
        component->setMemManager(static_cast<napi::IMemoryManager*>(&mm));
    }
    FakeObject& Driver() { return static_cast<FakeObject&>(*component->Driver()); }
    std::u16string TakeName(const napi::WCHAR_T* name) {
        if (name == nullptr)
            return u"(null)";
        std::u16string copy(name);
        EXPECT_EQ(mm.blocks.count(const_cast<napi::WCHAR_T*>(name)), 1u) << "names are host memory";
        mm.Release(name);
        return copy;
    }

    const ClassRegistration* reg = nullptr;
    FakeMemory mm;
    FakeConnection connection{mm};
    std::unique_ptr<ComponentObject> component;
    std::uint8_t savedMode = 0;
};

TEST_F(ComponentTest, InterfacesReachTheSameObjectInPlatformOrder) {
    napi::IComponentBase* base = component.get();
    // The first base is IInitDoneBase: its pointer is the object's address.
    EXPECT_EQ(static_cast<void*>(static_cast<napi::IInitDoneBase*>(base)), static_cast<void*>(base));
    EXPECT_LT(reinterpret_cast<char*>(static_cast<napi::IInitDoneBase*>(base)),
              reinterpret_cast<char*>(static_cast<napi::ILanguageExtenderBase*>(base)));
    EXPECT_LT(reinterpret_cast<char*>(static_cast<napi::ILanguageExtenderBase*>(base)),
              reinterpret_cast<char*>(static_cast<napi::LocaleBase*>(base)));
    EXPECT_LT(reinterpret_cast<char*>(static_cast<napi::LocaleBase*>(base)),
              reinterpret_cast<char*>(static_cast<napi::UserLanguageBase*>(base)));
    EXPECT_EQ(Driver().ClassReg, reg);
}

TEST_F(ComponentTest, InitDoneAndLocale) {
    EXPECT_TRUE(component->Init(static_cast<napi::IAddInDefBase*>(&connection)));
    EXPECT_EQ(Driver().V8, &connection);
    EXPECT_TRUE(component->setMemManager(static_cast<napi::IMemoryManager*>(&mm)));
    EXPECT_EQ(Driver().V8MM, &mm);
    EXPECT_EQ(component->GetInfo(), 2000);
    component->SetLocale(u"ru_RU");
    EXPECT_EQ(Driver().locale, u"ru_RU");
    component->SetLocale(nullptr);
    EXPECT_EQ(Driver().locale, u"");
    component->SetUserInterfaceLanguageCode(u"ru");
    component->SetUserInterfaceLanguageCode(nullptr);
    component->Done();
}

TEST_F(ComponentTest, ExtensionNameAndNamesAreHostCopies) {
    Attach();
    napi::WCHAR_T* name = nullptr;
    EXPECT_TRUE(component->RegisterExtensionAs(&name));
    EXPECT_EQ(TakeName(name), u"Fake");
    EXPECT_EQ(TakeName(component->GetMethodName(0, 0)), u"LeafZ");
    EXPECT_EQ(TakeName(component->GetMethodName(0, 1)), u"ЛистЯ");
    EXPECT_EQ(TakeName(component->GetMethodName(8, 7)), u"Общий");
    EXPECT_EQ(TakeName(component->GetPropName(0, 0)), u"IntProp");
    EXPECT_EQ(TakeName(component->GetPropName(0, 1)), u"Целое");
    EXPECT_TRUE(mm.blocks.empty());
}

TEST_F(ComponentTest, WithoutMemoryManagerNamesAreNull) {
    component->Init(static_cast<napi::IAddInDefBase*>(&connection));
    napi::WCHAR_T* name = reinterpret_cast<napi::WCHAR_T*>(1);
    EXPECT_TRUE(component->RegisterExtensionAs(&name));
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(component->GetMethodName(0, 0), nullptr);
    component->setMemManager(static_cast<napi::IMemoryManager*>(&mm));
    mm.refuse = true;
    EXPECT_EQ(component->GetPropName(0, 0), nullptr);
}

TEST_F(ComponentTest, NameLookup) {
    EXPECT_EQ(component->GetNMethods(), 9);
    EXPECT_EQ(component->GetNProps(), 7);
    EXPECT_EQ(component->FindMethod(u"LeafA"), 1);
    EXPECT_EQ(component->FindMethod(u"ЛистА"), 1);
    EXPECT_EQ(component->FindMethod(u"лista"), -1);
    EXPECT_EQ(component->FindMethod(u"leafa"), -1);
    EXPECT_EQ(component->FindMethod(u"ЛИСТА"), -1);
    EXPECT_EQ(component->FindMethod(u"Shared"), 6); // the first of the two entries
    EXPECT_EQ(component->FindMethod(u"Общий"), 6);
    EXPECT_EQ(component->FindMethod(u""), -1);
    EXPECT_EQ(component->FindMethod(nullptr), -1);
    EXPECT_EQ(component->FindProp(u"Флаг"), 2);
    EXPECT_EQ(component->FindProp(u"BoolProp"), 2);
    EXPECT_EQ(component->FindProp(u"boolprop"), -1);
    EXPECT_EQ(component->FindProp(nullptr), -1);
}

TEST_F(ComponentTest, TableQueriesAndOutOfRange) {
    Attach();
    EXPECT_EQ(component->GetNParams(0), 3);
    EXPECT_EQ(component->GetNParams(9), 0);
    EXPECT_EQ(component->GetNParams(-1), 0);
    EXPECT_TRUE(component->HasRetVal(8));
    EXPECT_FALSE(component->HasRetVal(9));
    EXPECT_EQ(component->GetMethodName(9, 0), nullptr);
    EXPECT_EQ(component->GetMethodName(-1, 1), nullptr);
    EXPECT_EQ(component->GetPropName(7, 0), nullptr);
    EXPECT_TRUE(component->IsPropReadable(0));
    EXPECT_TRUE(component->IsPropWritable(0));
    EXPECT_FALSE(component->IsPropWritable(4));
    EXPECT_FALSE(component->IsPropReadable(7));
    EXPECT_FALSE(component->IsPropWritable(-3));
    V8Variant v = Empty();
    EXPECT_FALSE(component->GetPropVal(7, &v));
    EXPECT_FALSE(component->SetPropVal(-1, &v));
    EXPECT_FALSE(component->CallAsFunc(9, &v, nullptr, 0));
    EXPECT_FALSE(component->CallAsProc(-1, nullptr, 0));
    EXPECT_TRUE(connection.errors.empty());
    EXPECT_TRUE(Driver().calls.empty());
    for (long m = 0; m < 9; ++m)
        for (long p = 0; p < 4; ++p)
            EXPECT_FALSE(component->GetParamDefValue(m, p, &v));
    EXPECT_FALSE(component->GetParamDefValue(99, 0, &v));
}

TEST_F(ComponentTest, CallAsFuncAndProc) {
    Attach();
    V8Variant result = Empty();
    V8Variant params[] = {Empty(), I4(1), Bool(false)};
    EXPECT_TRUE(component->CallAsFunc(0, &result, params, 3));
    EXPECT_EQ(result.vt, napi::VTYPE_BOOL);
    EXPECT_EQ(ReadTextUtf8(params[0]), "out");
    EXPECT_EQ(Driver().calls, std::vector<std::string>{"Leaf.LeafZ"});
    V8ClearVar(&mm, &params[0]);

    EXPECT_TRUE(component->CallAsProc(8, params, 1));
    EXPECT_EQ(Driver().calls.back(), "Root.Shared");
    EXPECT_TRUE(component->CallAsFunc(6, &result, nullptr, 0));
    EXPECT_EQ(Driver().calls.back(), "Middle.Shared");
    V8Variant r = Empty();
    EXPECT_FALSE(component->CallAsFunc(4, &r, nullptr, 0)); // the operation's own Boolean
    EXPECT_EQ(r.lVal, 5);
    EXPECT_TRUE(connection.errors.empty());
    V8ClearVar(&mm, &params[0]);
    EXPECT_TRUE(mm.blocks.empty());
}

TEST_F(ComponentTest, UnsupportedArgumentIsAHostErrorAndTheOperationDoesNotRun) {
    Attach();
    V8Variant result = Empty();
    V8Variant params[] = {I4(1), Typed(napi::VTYPE_NULL)};
    EXPECT_FALSE(component->CallAsFunc(0, &result, params, 2));
    EXPECT_TRUE(Driver().calls.empty());
    ASSERT_EQ(connection.errors.size(), 1u);
    EXPECT_EQ(connection.errors[0].code, 1006);
    EXPECT_EQ(connection.errors[0].source, u"Внешняя компонента");
    EXPECT_EQ(connection.errors[0].description, u"Unsupported data type - VTYPE_NULL");
    EXPECT_EQ(connection.errors[0].scode, static_cast<long>(0x80004005L));
    EXPECT_TRUE(mm.blocks.empty()); // the description went to the host, which returned it

    V8Variant byRef[] = {Typed(napi::VTYPE_I4 | napi::VTYPE_BYREF)};
    EXPECT_FALSE(component->CallAsProc(1, byRef, 1));
    ASSERT_EQ(connection.errors.size(), 2u);
    EXPECT_EQ(connection.errors[1].description, u"Unsupported data type - VTYPE_I4 by ref");
    EXPECT_TRUE(Driver().calls.empty());
}

TEST_F(ComponentTest, InterfaceArgumentIsAccepted) {
    Attach();
    V8Variant params[] = {Typed(napi::VTYPE_INTERFACE)};
    V8Variant result = Empty();
    EXPECT_TRUE(component->CallAsFunc(1, &result, params, 1));
    EXPECT_TRUE(connection.errors.empty());
}

TEST_F(ComponentTest, EscapingErrorsBecomeHostErrors) {
    Attach();
    V8Variant result = Empty();
    EXPECT_FALSE(component->CallAsFunc(2, &result, nullptr, 0));
    ASSERT_EQ(connection.errors.size(), 1u);
    EXPECT_EQ(connection.errors[0].description, u"Ошибка операции");
    EXPECT_FALSE(component->CallAsProc(3, nullptr, 0));
    ASSERT_EQ(connection.errors.size(), 2u);
    EXPECT_EQ(connection.errors[1].description, u"Unknown error");
}

TEST_F(ComponentTest, HostErrorWithoutMemoryManagerHasNullDescription) {
    component->Init(static_cast<napi::IAddInDefBase*>(&connection));
    V8Variant result = Empty();
    EXPECT_FALSE(component->CallAsFunc(2, &result, nullptr, 0));
    ASSERT_EQ(connection.errors.size(), 1u);
    EXPECT_EQ(connection.errors[0].description, u"");
}

TEST_F(ComponentTest, ErrorsWithoutConnectionDoNotCrash) {
    V8Variant result = Empty();
    EXPECT_FALSE(component->CallAsFunc(2, &result, nullptr, 0));
}

TEST_F(ComponentTest, Properties) {
    Attach();
    V8Variant v = Bool(true);
    EXPECT_TRUE(component->SetPropVal(2, &v));
    EXPECT_TRUE(Driver().boolProp);
    v = Empty();
    EXPECT_TRUE(component->GetPropVal(2, &v));
    EXPECT_EQ(v.vt, napi::VTYPE_BOOL);
    EXPECT_TRUE(v.bVal);
    v = I4(3);
    EXPECT_FALSE(component->SetPropVal(4, &v)); // read-only: a host error
    ASSERT_EQ(connection.errors.size(), 1u);
    EXPECT_EQ(connection.errors[0].description, u"Property is read-only: ReadOnlyProp");
    EXPECT_FALSE(component->GetPropVal(6, &v));
    EXPECT_EQ(connection.errors.back().description, u"Property type unacceptable");
    V8ClearVar(&mm, &v);
}

TEST_F(ComponentTest, GetParamDefValueCopiesADeclaredDefault) {
    // No class declares defaults, but the copy path works when a list has one.
    Attach();
    auto& list = const_cast<MethodRegistration&>(reg->MethList[0]).DefParams;
    list.AddWString(u"по умолчанию", 1);
    list.AddInt(9, 2);
    V8Variant v = Empty();
    EXPECT_TRUE(component->GetParamDefValue(0, 0, &v));
    EXPECT_EQ(ReadTextUtf8(v), "по умолчанию");
    EXPECT_EQ(mm.blocks.count(v.pwstrVal), 1u);
    EXPECT_TRUE(component->GetParamDefValue(0, 1, &v));
    EXPECT_EQ(v.vt, napi::VTYPE_I4);
    EXPECT_EQ(v.lVal, 9);
    EXPECT_TRUE(mm.blocks.empty());
    EXPECT_FALSE(component->GetParamDefValue(0, 2, &v));
}

class ComponentTrace : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        log::SetLogFolder(folder.Path().string());
        log::SetLogFileName("Trace");
        Attach();
    }
    void TearDown() override {
        log::SetLogFolder("");
        ComponentTest::TearDown();
    }
    std::string LogText() {
        std::string all;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            all += text.str();
        }
        return all;
    }
    std::vector<std::string> DebugLines() {
        std::vector<std::string> lines;
        std::istringstream in(LogText());
        std::string line;
        while (std::getline(in, line))
            if (line.find("\tDEBUG\t") != std::string::npos)
                lines.push_back(line.substr(line.find("\tDEBUG\t") + 7));
        return lines;
    }
    TempFolder folder;
};

TEST_F(ComponentTrace, LoggedDeviceWritesOpeningAndClosingLines) {
    SetDeviceLogFlag(kDevice, true);
    std::u16string id(kDevice, kDevice + sizeof kDevice - 1);
    napi::WCHAR_T* hostId = mm.Text(id);
    V8Variant params[] = {Typed(napi::VTYPE_PWSTR), Empty(), Typed(napi::VTYPE_BLOB)};
    params[0].pwstrVal = hostId;
    V8Variant result = Empty();
    ASSERT_TRUE(component->CallAsFunc(5, &result, params, 3)); // MiddleA
    EXPECT_EQ(log::GetLogMode(), log::ModeAll);
    const auto lines = DebugLines();
    ASSERT_EQ(lines.size(), 2u) << LogText();
    EXPECT_EQ(lines[0], "> MiddleA: \tParams: [" + std::string(kDevice) + "; ; BLOB]\r");
    EXPECT_EQ(lines[1], "< MiddleA: \tResult=True; Params: [" + std::string(kDevice) + "; ; BLOB]\r");

    ASSERT_TRUE(component->CallAsProc(5, params, 3));
    const auto more = DebugLines();
    ASSERT_EQ(more.size(), 4u);
    EXPECT_EQ(more[3], "< MiddleA: \t; Params: [" + std::string(kDevice) + "; ; BLOB]\r");
    mm.Release(hostId);
}

TEST_F(ComponentTrace, UnloggedOrUnknownDevicesWriteNothing) {
    SetDeviceLogFlag(kDevice, false);
    std::u16string id(kDevice, kDevice + sizeof kDevice - 1);
    V8Variant params[] = {Wide(id)};
    V8Variant result = Empty();
    log::SetLogMode(log::ModeAll);
    ASSERT_TRUE(component->CallAsFunc(6, &result, params, 1));
    EXPECT_EQ(log::GetLogMode(), log::ModeOff);
    std::u16string text = u"no device";
    params[0] = Wide(text);
    log::SetLogMode(log::ModeAll);
    ASSERT_TRUE(component->CallAsFunc(6, &result, params, 1));
    EXPECT_EQ(log::GetLogMode(), log::ModeHeld);
    EXPECT_TRUE(DebugLines().empty()) << LogText();
}

TEST_F(ComponentTrace, ClosingLineUsesTheParametersAfterTheCall) {
    // The operation writes its first (empty) parameter: the opening line sees no device, the closing line
    // does, as with ПодключитьОборудование.
    SetDeviceLogFlag("0A1B2C3D-0000-0000-0000-000000000000", true);
    struct Connector {
        static bool Run(UserObject& self, V8Variant* result, V8Variant* params, long) {
            V8SetUtf8(self.V8MM, &params[0], "0A1B2C3D-0000-0000-0000-000000000000");
            V8SetBool(self.V8MM, result, true);
            return true;
        }
    };
    const_cast<MethodRegistration&>(reg->MethList[7]).Execute = &Connector::Run;
    V8Variant params[] = {Empty()};
    V8Variant result = Empty();
    ASSERT_TRUE(component->CallAsFunc(7, &result, params, 1));
    const auto lines = DebugLines();
    ASSERT_EQ(lines.size(), 1u) << LogText();
    EXPECT_EQ(lines[0], "< RootFirst: \tResult=True; Params: [0A1B2C3D-0000-0000-0000-000000000000]\r");
    V8ClearVar(&mm, &params[0]);
}

TEST_F(ComponentTrace, ExceptionIsLoggedAsAnErrorLine) {
    log::SetLogMode(log::ModeAll);
    SetDeviceLogFlag(kDevice, true);
    std::u16string id(kDevice, kDevice + sizeof kDevice - 1);
    V8Variant params[] = {Wide(id)};
    V8Variant result = Empty();
    EXPECT_FALSE(component->CallAsFunc(2, &result, params, 1));
    const std::string text = LogText();
    EXPECT_NE(text.find("\tERROR\tEXCEPTION: \tОшибка операции"), std::string::npos) << text;
}

} // namespace
} // namespace veltrano::addin
