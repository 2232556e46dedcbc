// Registration records, DeviceLogFlags, PropertyGetSet and ApplySetting (Parts 1.1 and 1.2).
#include "addin/class_registry.h"

#include "addin/variant.h"
#include "common/number_format.h"
#include "fakes.h"

#include <gtest/gtest.h>

namespace veltrano::addin {
namespace {

using namespace veltrano::addin::testing;

class Registry : public ::testing::Test {
protected:
    void SetUp() override { ClearClassRegistry(); }
    void TearDown() override { ClearClassRegistry(); }
};

std::string ErrorOf(auto&& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

TEST_F(Registry, WalksFromTheMostDerivedClassInWrittenOrder) {
    const ClassRegistration& reg = RegisterClass(&MakeFake, LeafDecls(), u"Fake");
    const std::vector<std::u16string> english = {u"LeafZ",   u"LeafA",  u"Throw",     u"ThrowInt", u"Falsy",
                                                 u"MiddleA", u"Shared", u"RootFirst", u"Shared"};
    const std::vector<std::u16string> russian = {u"ЛистЯ",     u"ЛистА",        u"Сбой",
                                                 u"СбойЧисло", u"Ложь",         u"СерединаА",
                                                 u"Общий",     u"КореньПервый", u"Общий"};
    const std::vector<int> counts = {3, 0, 0, 0, 1, 2, 1, 0, 1};
    ASSERT_EQ(reg.MethCount, 9);
    ASSERT_EQ(reg.MethList.size(), 9u);
    for (std::size_t i = 0; i < english.size(); ++i) {
        EXPECT_EQ(reg.MethList[i].MethName, english[i]) << i;
        EXPECT_EQ(reg.MethList[i].MethNameLoc, russian[i]) << i;
        EXPECT_EQ(reg.MethList[i].ParamCount, counts[i]) << i;
        EXPECT_TRUE(reg.MethList[i].IsFunction);
        EXPECT_EQ(reg.MethList[i].DefParams.ValueCount(), 0);
    }
    // Each level keeps its own implementation: the overriding declaration is an entry of its own.
    EXPECT_NE(reg.MethList[6].Execute, reg.MethList[8].Execute);

    const std::vector<std::u16string> props = {u"IntProp",      u"Int64Prop", u"BoolProp", u"FloatProp",
                                               u"ReadOnlyProp", u"TextProp",  u"OtherProp"};
    ASSERT_EQ(reg.PropCount, 7);
    for (std::size_t i = 0; i < props.size(); ++i) {
        EXPECT_EQ(reg.PropList[i].PropName, props[i]);
        EXPECT_TRUE(reg.PropList[i].IsReadable);
        EXPECT_EQ(reg.PropList[i].PropGetSet, &PropertyGetSet);
    }
    EXPECT_EQ(reg.PropList[0].PropNameLoc, u"Целое");
    EXPECT_EQ(reg.PropList[1].PropNameLoc, u"");
    EXPECT_FALSE(reg.PropList[4].IsWritable);
    EXPECT_TRUE(reg.PropList[3].IsWritable);
    EXPECT_EQ(reg.RegisterExtensionAs, u"Fake");
    EXPECT_EQ(reg.NatApiClassName, u"Fake");
    EXPECT_EQ(reg.UserClass, &MakeFake);
}

TEST_F(Registry, ClassListAndNames) {
    EXPECT_EQ(std::u16string(ClassNames()), u"");
    RegisterClass(&MakeFake, LeafDecls(), u"Veltrano");
    EXPECT_EQ(std::u16string(ClassNames()), u"Veltrano");
    RegisterClass(&MakeFake, RootDecls(), u"Second");
    EXPECT_EQ(std::u16string(ClassNames()), u"Veltrano|Second");
    EXPECT_EQ(ClassRegList().ClassCount, 2);
    ASSERT_NE(FindClass(u"Second"), nullptr);
    EXPECT_EQ(FindClass(u"Second")->MethCount, 2);
    EXPECT_EQ(FindClass(u"veltrano"), nullptr);
    EXPECT_EQ(FindClass(u""), nullptr);
    ClearClassRegistry();
    EXPECT_EQ(ClassRegList().ClassCount, 0);
    EXPECT_EQ(std::u16string(ClassNames()), u"");
    EXPECT_EQ(FindClass(u"Veltrano"), nullptr);
}

TEST_F(Registry, DefaultParameterList) {
    DefaultParameters list;
    EXPECT_EQ(list.At(0), nullptr);
    list.AddInt(5, 1);
    list.AddWString(u"x", 2);
    list.AddBool(true, 3);
    list.AddDouble(1.5, 4);
    list.AddAString("ab", 5);
    list.AddDate(2.0, 6);
    ASSERT_EQ(list.ValueCount(), 6);
    EXPECT_EQ(list.At(0)->Num, 0);
    EXPECT_EQ(list.At(0)->Value.lVal, 5);
    EXPECT_EQ(list.At(1)->Value.vt, napi::VTYPE_PWSTR);
    EXPECT_EQ(list.At(1)->Value.wstrLen, 1u);
    EXPECT_EQ(list.At(4)->Value.strLen, 2u);
    EXPECT_EQ(list.At(5)->Value.vt, napi::VTYPE_DATE);
    EXPECT_EQ(list.TempParam, &list.Values.back().Value);
    EXPECT_EQ(list.At(6), nullptr);
    EXPECT_EQ(list.At(-1), nullptr);
}

TEST_F(Registry, DeviceLogFlags) {
    EXPECT_FALSE(FindDeviceLogFlag("A").has_value());
    SetDeviceLogFlag("A", true);
    SetDeviceLogFlag("B", false);
    EXPECT_EQ(FindDeviceLogFlag("A"), true);
    EXPECT_EQ(FindDeviceLogFlag("B"), false);
    EXPECT_FALSE(FindDeviceLogFlag("a").has_value());
    SetDeviceLogFlag("A", false);
    EXPECT_EQ(FindDeviceLogFlag("A"), false);
    EXPECT_EQ(DeviceLogFlagsSnapshot().size(), 2u);
    ClearClassRegistry();
    EXPECT_TRUE(DeviceLogFlagsSnapshot().empty());
}

class Properties : public Registry {
protected:
    FakeObject object;
    FakeMemory mm;
    void SetUp() override {
        Registry::SetUp();
        object.V8MM = &mm;
    }
};

TEST_F(Properties, GetEachKind) {
    V8Variant v = Empty();
    EXPECT_TRUE(PropertyGetSet(object, "IntProp", &v, true));
    EXPECT_EQ(v.vt, napi::VTYPE_I4);
    EXPECT_EQ(v.lVal, 7);
    EXPECT_TRUE(PropertyGetSet(object, "Int64Prop", &v, true));
    EXPECT_EQ(v.vt, napi::VTYPE_I4); // 64-bit integers reach the host as VTYPE_I4 too
    EXPECT_TRUE(PropertyGetSet(object, "флаг", &v, true));
    EXPECT_EQ(v.vt, napi::VTYPE_BOOL);
    EXPECT_FALSE(v.bVal);
    EXPECT_TRUE(PropertyGetSet(object, "FLOATPROP", &v, true));
    EXPECT_EQ(v.vt, napi::VTYPE_R8);
    EXPECT_EQ(v.dblVal, 2.5);
    EXPECT_TRUE(PropertyGetSet(object, "ТЕКСТ", &v, true));
    EXPECT_EQ(v.vt, napi::VTYPE_PWSTR);
    EXPECT_EQ(ReadTextUtf8(v), "текст");
    EXPECT_TRUE(PropertyGetSet(object, "ReadOnlyProp", &v, true));
    EXPECT_EQ(v.lVal, 99);
    V8ClearVar(&mm, &v);
    EXPECT_TRUE(mm.blocks.empty());
}

TEST_F(Properties, SetEachKind) {
    V8Variant v = I4(12);
    EXPECT_TRUE(PropertyGetSet(object, "целое", &v, false));
    EXPECT_EQ(object.intProp, 12);
    std::u16string number = u"34";
    v = Wide(number);
    EXPECT_TRUE(PropertyGetSet(object, "int64prop", &v, false));
    EXPECT_EQ(object.int64Prop, 34);
    v = Bool(true);
    EXPECT_TRUE(PropertyGetSet(object, "BoolProp", &v, false));
    EXPECT_TRUE(object.boolProp);
    v = I4(0);
    EXPECT_TRUE(PropertyGetSet(object, "BoolProp", &v, false));
    EXPECT_FALSE(object.boolProp);
    v = I4(3);
    EXPECT_TRUE(PropertyGetSet(object, "Дробное", &v, false));
    EXPECT_EQ(object.floatProp, 3.0);
    std::u16string text = u"новый";
    v = Wide(text);
    EXPECT_TRUE(PropertyGetSet(object, "TextProp", &v, false));
    EXPECT_EQ(object.textProp, "новый");
    char bytes[] = "8bit";
    V8Variant p = Typed(napi::VTYPE_PSTR);
    p.pstrVal = bytes;
    p.strLen = 4;
    EXPECT_TRUE(PropertyGetSet(object, "TextProp", &p, false));
    EXPECT_EQ(object.textProp, "8bit");
}

TEST_F(Properties, Errors) {
    V8Variant v = I4(1);
    EXPECT_EQ(ErrorOf([&] { PropertyGetSet(object, "ReadOnlyProp", &v, false); }),
              "Property is read-only: ReadOnlyProp");
    EXPECT_EQ(ErrorOf([&] { PropertyGetSet(object, "ТолькоЧтение", &v, false); }),
              "Property is read-only: ТолькоЧтение");
    EXPECT_EQ(ErrorOf([&] { PropertyGetSet(object, "Nope", &v, true); }), "Property not found: Nope");
    EXPECT_EQ(ErrorOf([&] { PropertyGetSet(object, "Nope", &v, false); }), "Property not found: Nope");
    EXPECT_EQ(ErrorOf([&] { PropertyGetSet(object, "OtherProp", &v, true); }), "Property type unacceptable");
    EXPECT_EQ(ErrorOf([&] { PropertyGetSet(object, "OtherProp", &v, false); }), "Property type unacceptable");
    EXPECT_EQ(ErrorOf([&] { PropertyGetSet(object, "TextProp", &v, false); }), "Value type unacceptable");
    EXPECT_EQ(object.textProp, "текст"); // a failed setting leaves the property as it was
    EXPECT_EQ(ErrorOf([&] { PropertyGetSet(object, "IntProp", nullptr, true); }), "Value type unacceptable");
}

// A settings target like a device instance: a plain object with its own table.
struct Target {
    std::int64_t Width = 0;
    std::int64_t Big = 0;
    bool LogEnabled = false;
    double Ratio = 0;
    std::string Header;
};

const PropertyDecl kTargetSettings[] = {
    {"Width", "", "", "", false, PropKind::Integer,
     [](const void* o) -> PropValue { return static_cast<const Target*>(o)->Width; },
     [](void* o, const PropValue& v) { static_cast<Target*>(o)->Width = std::get<std::int64_t>(v); }},
    {"Big", "", "", "", false, PropKind::Int64,
     [](const void* o) -> PropValue { return static_cast<const Target*>(o)->Big; },
     [](void* o, const PropValue& v) { static_cast<Target*>(o)->Big = std::get<std::int64_t>(v); }},
    {"LogEnabled", "", "", "", false, PropKind::Boolean,
     [](const void* o) -> PropValue { return static_cast<const Target*>(o)->LogEnabled; },
     [](void* o, const PropValue& v) { static_cast<Target*>(o)->LogEnabled = std::get<bool>(v); }},
    {"Ratio", "", "", "", false, PropKind::Float,
     [](const void* o) -> PropValue { return static_cast<const Target*>(o)->Ratio; },
     [](void* o, const PropValue& v) { static_cast<Target*>(o)->Ratio = std::get<double>(v); }},
    {"Header", "", "", "", false, PropKind::Text,
     [](const void* o) -> PropValue { return static_cast<const Target*>(o)->Header; },
     [](void* o, const PropValue& v) { static_cast<Target*>(o)->Header = std::get<std::string>(v); }},
    {"Strange", "", "", "", false, PropKind::Other, nullptr, [](void*, const PropValue&) {}},
};

TEST_F(Registry, ApplySettingConverts) {
    Target target;
    EXPECT_TRUE(ApplySetting(kTargetSettings, "Width", "42", &target, ""));
    EXPECT_EQ(target.Width, 42);
    EXPECT_TRUE(ApplySetting(kTargetSettings, "width", "-1", &target, ""));
    EXPECT_EQ(target.Width, -1);
    EXPECT_TRUE(ApplySetting(kTargetSettings, "Big", "9000000000", &target, ""));
    EXPECT_EQ(target.Big, 9000000000LL);
    EXPECT_TRUE(ApplySetting(kTargetSettings, "LogEnabled", "TRUE", &target, ""));
    EXPECT_TRUE(target.LogEnabled);
    EXPECT_TRUE(ApplySetting(kTargetSettings, "LogEnabled", "False", &target, ""));
    EXPECT_FALSE(target.LogEnabled);
    const char saved = numfmt::DecimalSeparator();
    numfmt::SetDecimalSeparator('.');
    EXPECT_TRUE(ApplySetting(kTargetSettings, "Ratio", "0.25", &target, ""));
    EXPECT_EQ(target.Ratio, 0.25);
    numfmt::SetDecimalSeparator(saved);
    EXPECT_TRUE(ApplySetting(kTargetSettings, "Header", "  Учебный ККТ ", &target, ""));
    EXPECT_EQ(target.Header, "  Учебный ККТ ");
    EXPECT_TRUE(DeviceLogFlagsSnapshot().empty()); // no device identifier, no flag
}

TEST_F(Registry, ApplySettingErrors) {
    Target target;
    target.Width = 5;
    EXPECT_EQ(ErrorOf([&] { ApplySetting(kTargetSettings, "Missing", "1", &target, ""); }),
              "Property \"Missing\" not found in Source object.");
    EXPECT_EQ(ErrorOf([&] { ApplySetting(kTargetSettings, "Width", "abc", &target, ""); }),
              "'abc' is not a valid integer value");
    EXPECT_EQ(ErrorOf([&] { ApplySetting(kTargetSettings, "Width", "", &target, ""); }),
              "'' is not a valid integer value");
    EXPECT_EQ(ErrorOf([&] { ApplySetting(kTargetSettings, "Width", "9000000000", &target, ""); }),
              "'9000000000' is not a valid integer value");
    EXPECT_EQ(target.Width, 5);
    EXPECT_EQ(ErrorOf([&] { ApplySetting(kTargetSettings, "LogEnabled", "yes", &target, "ID"); }),
              "'yes' is not a valid boolean value");
    EXPECT_FALSE(FindDeviceLogFlag("ID").has_value());
    EXPECT_EQ(ErrorOf([&] { ApplySetting(kTargetSettings, "Ratio", "x1", &target, ""); }),
              "'x1' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { ApplySetting(kTargetSettings, "Strange", "1", &target, ""); }),
              "Property type unacceptable");
}

TEST_F(Registry, ApplySettingRecordsTheDeviceLogFlag) {
    Target first, second;
    ApplySetting(kTargetSettings, "LogEnabled", "true", &first, "11111111-2222-3333-4444-555555555555");
    ApplySetting(kTargetSettings, "logenabled", "false", &second, "AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE");
    EXPECT_EQ(FindDeviceLogFlag("11111111-2222-3333-4444-555555555555"), true);
    EXPECT_EQ(FindDeviceLogFlag("AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE"), false);
    ApplySetting(kTargetSettings, "LogEnabled", "false", &first, "11111111-2222-3333-4444-555555555555");
    EXPECT_EQ(FindDeviceLogFlag("11111111-2222-3333-4444-555555555555"), false);
    ApplySetting(kTargetSettings, "Width", "1", &first, "CCCCCCCC-BBBB-CCCC-DDDD-EEEEEEEEEEEE");
    EXPECT_FALSE(FindDeviceLogFlag("CCCCCCCC-BBBB-CCCC-DDDD-EEEEEEEEEEEE").has_value());
}

} // namespace
} // namespace veltrano::addin
