// Rendering host values for the call trace, type names and the per-call log selection.
#include "addin/trace.h"

#include "addin/class_registry.h"
#include "common/number_format.h"
#include "fakes.h"
#include "log/log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace veltrano::addin {
namespace {

using testing::Bool;
using testing::Empty;
using testing::I4;
using testing::R8;
using testing::Typed;
using testing::Wide;

std::string ErrorOf(const V8Variant& v) {
    try {
        RenderValue(v);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(TraceTypeNames, EveryCodeHasItsName) {
    const char* names[] = {"VTYPE_EMPTY", "VTYPE_NULL",    "VTYPE_I2",      "VTYPE_I4",   "VTYPE_R4",
                           "VTYPE_R8",    "VTYPE_DATE",    "VTYPE_TM",      "VTYPE_PSTR", "VTYPE_INTERFACE",
                           "VTYPE_ERROR", "VTYPE_BOOL",    "VTYPE_VARIANT", "VTYPE_I1",   "VTYPE_UI1",
                           "VTYPE_UI2",   "VTYPE_UI4",     "VTYPE_I8",      "VTYPE_UI8",  "VTYPE_INT",
                           "VTYPE_UINT",  "VTYPE_HRESULT", "VTYPE_PWSTR",   "VTYPE_BLOB", "VTYPE_CLSID"};
    for (std::uint16_t code = 0; code <= 24; ++code)
        EXPECT_EQ(TypeName(code), names[code]) << code;
    EXPECT_EQ(TypeName(0xFFF), "VTYPE_STR_BLOB");
}

TEST(TraceTypeNames, FlagSuffixesInPrecedence) {
    EXPECT_EQ(TypeName(napi::VTYPE_I4 | napi::VTYPE_BYREF), "VTYPE_I4 by ref");
    EXPECT_EQ(TypeName(napi::VTYPE_I4 | napi::VTYPE_ARRAY), "VTYPE_I4 array");
    EXPECT_EQ(TypeName(napi::VTYPE_I4 | napi::VTYPE_VECTOR), "VTYPE_I4 vector");
    EXPECT_EQ(TypeName(napi::VTYPE_NULL | napi::VTYPE_BYREF | napi::VTYPE_ARRAY | napi::VTYPE_VECTOR),
              "VTYPE_NULL by ref");
    EXPECT_EQ(TypeName(napi::VTYPE_PWSTR | napi::VTYPE_ARRAY | napi::VTYPE_VECTOR), "VTYPE_PWSTR array");
    EXPECT_EQ(TypeName(0xFFF | napi::VTYPE_VECTOR), "VTYPE_STR_BLOB vector");
}

TEST(TraceTypeNames, UnknownCodes) {
    EXPECT_EQ(TypeName(25), "unknown type");
    EXPECT_EQ(TypeName(0x123), "unknown type");
    EXPECT_EQ(TypeName(25 | napi::VTYPE_BYREF), "unknown type");
    EXPECT_EQ(TypeName(0x8000 | napi::VTYPE_I4), "VTYPE_I4"); // bit 15 is no flag the names know
}

TEST(TraceRender, SupportedTypes) {
    EXPECT_EQ(RenderValue(Empty()), "");
    EXPECT_EQ(RenderValue(I4(-42)), "-42");
    V8Variant i8 = Typed(napi::VTYPE_I8);
    i8.llVal = 9000000000LL;
    EXPECT_EQ(RenderValue(i8), "9000000000");
    EXPECT_EQ(RenderValue(Bool(true)), "True");
    EXPECT_EQ(RenderValue(Bool(false)), "False");
    std::u16string text = u"Чек\u00A0№1";
    EXPECT_EQ(RenderValue(Wide(text)), "Чек\u00A0№1");
    EXPECT_EQ(RenderValue(Typed(napi::VTYPE_PWSTR)), "");
    EXPECT_EQ(RenderValue(Typed(napi::VTYPE_INTERFACE)), "Interface");
}

TEST(TraceRender, UnsupportedTypesFailWithTheirName) {
    EXPECT_EQ(ErrorOf(Typed(napi::VTYPE_NULL)), "Unsupported data type - VTYPE_NULL");
    EXPECT_EQ(ErrorOf(Typed(napi::VTYPE_I4 | napi::VTYPE_BYREF)), "Unsupported data type - VTYPE_I4 by ref");
    EXPECT_EQ(ErrorOf(Typed(napi::VTYPE_I2)), "Unsupported data type - VTYPE_I2");
    EXPECT_EQ(ErrorOf(Typed(napi::VTYPE_DATE)), "Unsupported data type - VTYPE_DATE");
    EXPECT_EQ(ErrorOf(Typed(napi::VTYPE_PSTR)), "Unsupported data type - VTYPE_PSTR");
    EXPECT_EQ(ErrorOf(Typed(napi::VTYPE_BLOB)), "Unsupported data type - VTYPE_BLOB");
    EXPECT_EQ(ErrorOf(Typed(0x77)), "Unsupported data type - unknown type");
    EXPECT_EQ(ErrorOf(Typed(napi::VTYPE_EMPTY | napi::VTYPE_ARRAY)),
              "Unsupported data type - VTYPE_EMPTY array");
}

TEST(TraceRender, Moments) {
    V8Variant v = Typed(napi::VTYPE_TM);
    v.tmVal.tm_year = 124;
    v.tmVal.tm_mon = 1;
    v.tmVal.tm_mday = 29;
    v.tmVal.tm_hour = 23;
    v.tmVal.tm_min = 5;
    v.tmVal.tm_sec = 9;
    EXPECT_EQ(RenderValue(v), "29.02.2024 23:05:09");
    v.tmVal.tm_year = 123; // 2023 has no 29 February
    EXPECT_THROW(RenderValue(v), std::runtime_error);
    v.tmVal.tm_mday = 28;
    v.tmVal.tm_hour = 24;
    EXPECT_THROW(RenderValue(v), std::runtime_error);
    v.tmVal.tm_hour = 0;
    v.tmVal.tm_mon = 12;
    EXPECT_THROW(RenderValue(v), std::runtime_error);
    v.tmVal.tm_mon = 0;
    v.tmVal.tm_year = -1900; // year 0
    EXPECT_THROW(RenderValue(v), std::runtime_error);
    v.tmVal.tm_year = 2147483647; // no overflow while checking
    EXPECT_THROW(RenderValue(v), std::runtime_error);
    V8Variant zero = Typed(napi::VTYPE_TM); // all fields zero: day 0
    EXPECT_THROW(RenderValue(zero), std::runtime_error);
}

TEST(TraceRender, FloatingPointGeneralForm) {
    EXPECT_EQ(FormatGeneral(0, '.'), "0");
    EXPECT_EQ(FormatGeneral(1.5, '.'), "1.5");
    EXPECT_EQ(FormatGeneral(-2.50, '.'), "-2.5");
    EXPECT_EQ(FormatGeneral(100, '.'), "100");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2, '.'), "0.3");
    EXPECT_EQ(FormatGeneral(1234.56, ','), "1234,56");
    EXPECT_EQ(FormatGeneral(123456789012345.0, '.'), "123456789012345");
    EXPECT_EQ(FormatGeneral(1e15, '.'), "1E15");
    EXPECT_EQ(FormatGeneral(1.5e20, '.'), "1.5E20");
    EXPECT_EQ(FormatGeneral(0.00001, '.'), "0.00001");
    EXPECT_EQ(FormatGeneral(0.000015, '.'), "0.000015");
    EXPECT_EQ(FormatGeneral(1.5e-6, '.'), "1.5E-6");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0, '.'), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(2.0 / 3.0, '.'), "0.666666666666667");
    EXPECT_EQ(FormatGeneral(999999999999999.9, '.'), "1E15");
    EXPECT_EQ(FormatGeneral(std::nan(""), '.'), "NAN");
    EXPECT_EQ(FormatGeneral(-INFINITY, '.'), "-INF");
}

TEST(TraceRender, DoubleUsesTheProcessSeparator) {
    const char saved = numfmt::DecimalSeparator();
    numfmt::SetDecimalSeparator(',');
    EXPECT_EQ(RenderValue(R8(0.5)), "0,5");
    numfmt::SetDecimalSeparator('.');
    EXPECT_EQ(RenderValue(R8(0.5)), "0.5");
    numfmt::SetDecimalSeparator(saved);
}

TEST(TraceParams, ListWithBlobs) {
    std::u16string id = u"ID";
    V8Variant params[] = {Wide(id), Typed(napi::VTYPE_BLOB), Empty(), Bool(true)};
    params[1].vt = napi::VTYPE_BLOB;
    EXPECT_EQ(RenderParams(params, 4), "[ID; BLOB; ; True]");
    EXPECT_EQ(RenderParams(params, 0), "[]");
    EXPECT_EQ(RenderParams(nullptr, 3), "[]");
    V8Variant bad[] = {I4(1), Typed(napi::VTYPE_NULL)};
    EXPECT_THROW(RenderParams(bad, 2), std::runtime_error);
}

TEST(TraceDeviceId, Pattern) {
    EXPECT_TRUE(IsDeviceIdText("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"));
    EXPECT_TRUE(IsDeviceIdText("0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"));
    EXPECT_FALSE(IsDeviceIdText("{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}"));
    EXPECT_FALSE(IsDeviceIdText("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F"));
    EXPECT_FALSE(IsDeviceIdText("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0X"));
    EXPECT_FALSE(IsDeviceIdText("GF1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"));
    EXPECT_FALSE(IsDeviceIdText(""));
    EXPECT_FALSE(IsDeviceIdText("Veltrano"));
}

class LogSelection : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDeviceLogFlags();
        saved_ = log::GetLogMode();
    }
    void TearDown() override {
        ClearDeviceLogFlags();
        log::SetLogMode(saved_);
    }
    std::uint8_t saved_ = 0;
};

TEST_F(LogSelection, DeviceFlagsChooseTheMode) {
    const std::string on = "11111111-2222-3333-4444-555555555555";
    const std::string off = "AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE";
    SetDeviceLogFlag(on, true);
    SetDeviceLogFlag(off, false);
    std::u16string onW(on.begin(), on.end()), offW(off.begin(), off.end());
    std::u16string unknown = u"99999999-2222-3333-4444-555555555555";
    std::u16string lower = u"11111111-2222-3333-4444-555555555555";
    std::u16string other = u"not an id";

    V8Variant p[] = {Wide(onW)};
    SelectCallLogMode(p, 1);
    EXPECT_EQ(log::GetLogMode(), log::ModeAll);
    p[0] = Wide(offW);
    SelectCallLogMode(p, 1);
    EXPECT_EQ(log::GetLogMode(), log::ModeOff);
    p[0] = Wide(unknown);
    log::SetLogMode(log::ModeAll);
    SelectCallLogMode(p, 1);
    EXPECT_EQ(log::GetLogMode(), log::ModeOff);
    p[0] = Wide(other);
    SelectCallLogMode(p, 1);
    EXPECT_EQ(log::GetLogMode(), log::ModeHeld);
    SelectCallLogMode(nullptr, 0);
    EXPECT_EQ(log::GetLogMode(), log::ModeHeld);
    V8Variant blob[] = {Typed(napi::VTYPE_BLOB)};
    log::SetLogMode(log::ModeAll);
    SelectCallLogMode(blob, 1);
    EXPECT_EQ(log::GetLogMode(), log::ModeHeld);
    V8Variant number[] = {I4(5)};
    SelectCallLogMode(number, 1);
    EXPECT_EQ(log::GetLogMode(), log::ModeHeld);
}

TEST_F(LogSelection, KeysCompareExactly) {
    SetDeviceLogFlag("ABCDEF01-2222-3333-4444-555555555555", true);
    std::u16string lower = u"abcdef01-2222-3333-4444-555555555555";
    V8Variant p[] = {Wide(lower)};
    SelectCallLogMode(p, 1);
    EXPECT_EQ(log::GetLogMode(), log::ModeOff);
}

TEST_F(LogSelection, UnsupportedFirstParameterFails) {
    V8Variant p[] = {Typed(napi::VTYPE_NULL)};
    EXPECT_THROW(SelectCallLogMode(p, 1), std::runtime_error);
    EXPECT_EQ(log::GetLogMode(), log::ModeHeld);
}

} // namespace
} // namespace veltrano::addin
