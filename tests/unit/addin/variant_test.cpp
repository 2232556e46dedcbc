// Readers and writers of the host variant.
#include "addin/variant.h"

#include "common/number_format.h"
#include "fakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace veltrano::addin {
namespace {

using testing::Bool;
using testing::Empty;
using testing::FakeMemory;
using testing::I4;
using testing::R8;
using testing::Typed;
using testing::Wide;

class SeparatorGuard {
public:
    explicit SeparatorGuard(char separator) : saved_(numfmt::DecimalSeparator()) {
        numfmt::SetDecimalSeparator(separator);
    }
    ~SeparatorGuard() { numfmt::SetDecimalSeparator(saved_); }

private:
    char saved_;
};

bool AllZero(const V8Variant& v) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&v);
    for (std::size_t i = 0; i < sizeof v; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

TEST(VariantWriters, ScalarWritersSetTypeAndValue) {
    FakeMemory mm;
    V8Variant v = Empty();
    EXPECT_TRUE(V8SetBool(&mm, &v, true));
    EXPECT_EQ(v.vt, napi::VTYPE_BOOL);
    EXPECT_TRUE(v.bVal);
    EXPECT_TRUE(V8SetInt(&mm, &v, -17));
    EXPECT_EQ(v.vt, napi::VTYPE_I4);
    EXPECT_EQ(v.lVal, -17);
    EXPECT_TRUE(V8SetInt64(&mm, &v, 1LL << 40));
    EXPECT_EQ(v.vt, napi::VTYPE_I8);
    EXPECT_EQ(v.llVal, 1LL << 40);
    EXPECT_TRUE(V8SetDouble(&mm, &v, 2.75));
    EXPECT_EQ(v.vt, napi::VTYPE_R8);
    EXPECT_EQ(v.dblVal, 2.75);
    EXPECT_TRUE(V8SetDate(&mm, &v, 45000.5));
    EXPECT_EQ(v.vt, napi::VTYPE_DATE);
    EXPECT_EQ(v.date, 45000.5);
    EXPECT_EQ(mm.allocations, 0);
}

TEST(VariantWriters, WStringCopiesIntoHostMemoryWithZero) {
    FakeMemory mm;
    V8Variant v = Empty();
    ASSERT_TRUE(V8SetWString(&mm, &v, u"Привет"));
    EXPECT_EQ(v.vt, napi::VTYPE_PWSTR);
    EXPECT_EQ(v.wstrLen, 6u);
    ASSERT_EQ(mm.blocks.count(v.pwstrVal), 1u);
    EXPECT_EQ(std::u16string(v.pwstrVal), u"Привет");
    EXPECT_EQ(v.pwstrVal[6], 0);
    V8ClearVar(&mm, &v);
    EXPECT_TRUE(mm.blocks.empty());
    EXPECT_TRUE(AllZero(v));
}

TEST(VariantWriters, WriterFreesThePreviousHostText) {
    FakeMemory mm;
    V8Variant v = Empty();
    ASSERT_TRUE(V8SetUtf8(&mm, &v, "первый"));
    ASSERT_TRUE(V8SetUtf8(&mm, &v, "второй"));
    EXPECT_EQ(mm.blocks.size(), 1u);
    EXPECT_EQ(ReadTextUtf8(v), "второй");
    ASSERT_TRUE(V8SetInt(&mm, &v, 1));
    EXPECT_TRUE(mm.blocks.empty());
}

TEST(VariantWriters, WStringWithoutMemoryFailsAndLeavesEmpty) {
    V8Variant v = I4(5);
    EXPECT_FALSE(V8SetWString(nullptr, &v, u"x"));
    EXPECT_EQ(v.vt, napi::VTYPE_EMPTY);

    FakeMemory mm;
    mm.refuse = true;
    V8Variant w = I4(5);
    EXPECT_FALSE(V8SetWString(&mm, &w, u"x"));
    EXPECT_EQ(w.vt, napi::VTYPE_EMPTY);
    EXPECT_EQ(HostCopy(&mm, u"abc"), nullptr);
    EXPECT_EQ(HostCopy(nullptr, u"abc"), nullptr);
}

TEST(VariantWriters, EmptyWStringStillHasItsZero) {
    FakeMemory mm;
    V8Variant v = Empty();
    ASSERT_TRUE(V8SetWString(&mm, &v, u""));
    EXPECT_EQ(v.vt, napi::VTYPE_PWSTR);
    EXPECT_EQ(v.wstrLen, 0u);
    ASSERT_NE(v.pwstrVal, nullptr);
    EXPECT_EQ(v.pwstrVal[0], 0);
    V8ClearVar(&mm, &v);
}

TEST(VariantWriters, PCharAndBlob) {
    FakeMemory mm;
    V8Variant v = I4(3);
    EXPECT_TRUE(V8SetPChar(&mm, &v, nullptr)); // null text: untouched
    EXPECT_EQ(v.vt, napi::VTYPE_I4);
    ASSERT_TRUE(V8SetPChar(&mm, &v, "abc"));
    EXPECT_EQ(v.vt, napi::VTYPE_PSTR);
    EXPECT_EQ(v.strLen, 3u);
    EXPECT_STREQ(v.pstrVal, "abc");

    EXPECT_TRUE(V8SetBlob(&mm, &v, nullptr, 10)); // null data: untouched
    EXPECT_EQ(v.vt, napi::VTYPE_PSTR);
    const char bytes[] = {1, 0, 2, 0};
    ASSERT_TRUE(V8SetBlob(&mm, &v, bytes, 4));
    EXPECT_EQ(v.vt, napi::VTYPE_BLOB);
    EXPECT_EQ(v.strLen, 4u);
    EXPECT_EQ(std::memcmp(v.pstrVal, bytes, 4), 0);
    EXPECT_EQ(mm.blocks.size(), 1u); // the PSTR copy went back when the blob replaced it
    V8ClearVar(&mm, &v);
    EXPECT_TRUE(mm.blocks.empty());
}

TEST(VariantClear, ZeroesEveryByteAndLeavesOtherTypesAlone) {
    FakeMemory mm;
    V8Variant v = R8(1.5);
    v.cbElements = 77;
    V8ClearVar(&mm, &v);
    EXPECT_TRUE(AllZero(v));
    EXPECT_EQ(mm.frees, 0);

    V8Variant iface = Typed(napi::VTYPE_INTERFACE);
    int dummy = 0;
    iface.pInterfaceVal = &dummy;
    V8ClearVar(&mm, &iface);
    EXPECT_TRUE(AllZero(iface));
    EXPECT_EQ(mm.frees, 0);

    V8ClearVar(&mm, nullptr); // no crash
}

TEST(VariantClear, NullDataPointerIsNotFreed) {
    FakeMemory mm;
    V8Variant v = Typed(napi::VTYPE_PWSTR);
    V8ClearVar(&mm, &v);
    EXPECT_EQ(mm.frees, 0);
    EXPECT_TRUE(AllZero(v));
}

TEST(VariantClear, ByRefTextIsFreedByItsMaskedType) {
    FakeMemory mm;
    V8Variant v = Empty();
    ASSERT_TRUE(V8SetUtf8(&mm, &v, "x"));
    v.vt |= napi::VTYPE_BYREF;
    V8ClearVar(&mm, &v);
    EXPECT_TRUE(mm.blocks.empty());
}

TEST(VariantClear, FailingFreeIsSwallowedAndTheVariantZeroed) {
    FakeMemory mm;
    V8Variant v = Empty();
    ASSERT_TRUE(V8SetUtf8(&mm, &v, "x"));
    void* block = v.pwstrVal;
    mm.throwOnFree = true;
    EXPECT_NO_THROW(V8ClearVar(&mm, &v));
    EXPECT_TRUE(AllZero(v));
    mm.throwOnFree = false;
    mm.Release(block);
}

TEST(VariantClear, WithoutManagerOnlyZeroes) {
    char16_t text[] = u"abc";
    V8Variant v = Typed(napi::VTYPE_PWSTR);
    v.pwstrVal = text;
    V8ClearVar(nullptr, &v);
    EXPECT_TRUE(AllZero(v));
}

TEST(VariantReaders, TextReadsUpToTheZeroIgnoringLength) {
    std::u16string text = u"abc";
    V8Variant v = Wide(text);
    v.wstrLen = 1;
    EXPECT_EQ(ReadText(v), u"abc");
    EXPECT_EQ(ReadTextUtf8(v), "abc");
    EXPECT_EQ(ReadText(I4(5)), u"");
    EXPECT_EQ(ReadText(Typed(napi::VTYPE_PWSTR)), u""); // null pointer
    std::u16string ru = u"Касса";
    EXPECT_EQ(ReadTextUtf8(Wide(ru)), "Касса");
}

TEST(VariantReaders, Integer) {
    EXPECT_EQ(ReadInteger(I4(-5)), -5);
    V8Variant i2 = Typed(napi::VTYPE_I2);
    i2.shortVal = -300;
    EXPECT_EQ(ReadInteger(i2), -300);
    V8Variant ui1 = Typed(napi::VTYPE_UI1);
    ui1.ui8Val = 200;
    EXPECT_EQ(ReadInteger(ui1), 200);
    V8Variant err = Typed(napi::VTYPE_ERROR);
    err.errCode = 1006;
    EXPECT_EQ(ReadInteger(err), 1006);
    EXPECT_EQ(ReadInteger(R8(-3.9)), -3);
    EXPECT_EQ(ReadInteger(R8(3.9)), 3);
    V8Variant r4 = Typed(napi::VTYPE_R4);
    r4.fltVal = 7.7f;
    EXPECT_EQ(ReadInteger(r4), 7);
    V8Variant date = Typed(napi::VTYPE_DATE);
    date.date = 45000.75;
    EXPECT_EQ(ReadInteger(date), 45000);
    EXPECT_EQ(ReadInteger(R8(std::nan(""))), 0);
    EXPECT_EQ(ReadInteger(R8(1e20)), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ReadInteger(Bool(true)), 0);
    V8Variant i8 = Typed(napi::VTYPE_I8);
    i8.llVal = 5;
    EXPECT_EQ(ReadInteger(i8), 0); // not among the reader's types
}

TEST(VariantReaders, IntegerFromText) {
    std::u16string a = u"42", b = u" -17 ", c = u"4x", d = u"", e = u"99999999999", f = u"+8", g = u"1.5",
                   h = u"٣";
    EXPECT_EQ(ReadInteger(Wide(a)), 42);
    EXPECT_EQ(ReadInteger(Wide(b)), -17);
    EXPECT_EQ(ReadInteger(Wide(c)), 0);
    EXPECT_EQ(ReadInteger(Wide(d)), 0);
    EXPECT_EQ(ReadInteger(Wide(e)), 0);
    EXPECT_EQ(ReadInteger(Wide(f)), 8);
    EXPECT_EQ(ReadInteger(Wide(g)), 0);
    EXPECT_EQ(ReadInteger(Wide(h)), 0);
}

TEST(VariantReaders, Number) {
    EXPECT_EQ(ReadNumber(R8(1.25)), 1.25);
    EXPECT_EQ(ReadNumber(I4(-4)), -4.0);
    V8Variant r4 = Typed(napi::VTYPE_R4);
    r4.fltVal = 0.5f;
    EXPECT_EQ(ReadNumber(r4), 0.5);
    V8Variant date = Typed(napi::VTYPE_DATE);
    date.date = 2.5;
    EXPECT_EQ(ReadNumber(date), 2.5);
    EXPECT_EQ(ReadNumber(Bool(true)), 0.0);
}

TEST(VariantReaders, NumberFromTextUsesTheProcessSeparator) {
    std::u16string dot = u"1234.56", comma = u"1234,56", exp = u"1.5e3", bad = u"abc", blank = u" 7 ";
    {
        SeparatorGuard guard('.');
        EXPECT_DOUBLE_EQ(ReadNumber(Wide(dot)), 1234.56);
        EXPECT_EQ(ReadNumber(Wide(comma)), 0.0);
        EXPECT_DOUBLE_EQ(ReadNumber(Wide(exp)), 1500.0);
        EXPECT_EQ(ReadNumber(Wide(bad)), 0.0);
        EXPECT_EQ(ReadNumber(Wide(blank)), 7.0);
    }
    {
        SeparatorGuard guard(',');
        EXPECT_DOUBLE_EQ(ReadNumber(Wide(comma)), 1234.56);
        EXPECT_EQ(ReadNumber(Wide(dot)), 0.0);
    }
}

TEST(VariantReaders, Boolean) {
    EXPECT_TRUE(ReadBool(Bool(true)));
    EXPECT_FALSE(ReadBool(Bool(false)));
    V8Variant odd = Typed(napi::VTYPE_BOOL);
    odd.ui8Val = 2; // any non-zero byte is true
    EXPECT_TRUE(ReadBool(odd));
    EXPECT_TRUE(ReadBool(I4(-1)));
    EXPECT_FALSE(ReadBool(I4(0)));
    std::u16string one = u"1", word = u"true";
    EXPECT_TRUE(ReadBool(Wide(one)));
    EXPECT_FALSE(ReadBool(Wide(word))); // the integer reader gives 0
    EXPECT_FALSE(ReadBool(Empty()));
}

TEST(VariantParsing, IntegerAndNumberTexts) {
    std::int64_t n = 5;
    EXPECT_TRUE(ParseIntegerText("  -12 ", n));
    EXPECT_EQ(n, -12);
    EXPECT_FALSE(ParseIntegerText("12a", n));
    EXPECT_FALSE(ParseIntegerText("+-1", n));
    EXPECT_FALSE(ParseIntegerText("", n));
    EXPECT_FALSE(ParseIntegerText("99999999999999999999", n));
    EXPECT_EQ(n, -12);
    double d = 0;
    EXPECT_TRUE(ParseNumberText("-0,5", ',', d));
    EXPECT_EQ(d, -0.5);
    EXPECT_TRUE(ParseNumberText(".5", '.', d));
    EXPECT_EQ(d, 0.5);
    EXPECT_FALSE(ParseNumberText(".", '.', d));
    EXPECT_FALSE(ParseNumberText("1e", '.', d));
    EXPECT_FALSE(ParseNumberText("1.2.3", '.', d));
}

} // namespace
} // namespace veltrano::addin
