#include "kkt/operations/receipt_attributes.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace veltrano::kkt::testing {
namespace {

// An element with the attribute A set to the text, or without it when there is no text.
pugi::xml_document Element(const std::optional<std::string>& value) {
    pugi::xml_document doc;
    pugi::xml_node element = doc.append_child("Position");
    if (value)
        element.append_attribute("A").set_value(value->c_str());
    return doc;
}

pugi::xml_node Node(const pugi::xml_document& doc) {
    return doc.document_element();
}

struct IntegerCase {
    std::optional<std::string> text;
    std::int64_t integer;
    std::uint8_t byte;
};

class IntegerReading : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerReading, GivesTheNumberOrTheDefault) {
    const IntegerCase& c = GetParam();
    const pugi::xml_document doc = Element(c.text);
    EXPECT_EQ(ReadIntegerAttribute(Node(doc), "A", -1), c.integer) << c.text.value_or("(missing)");
    EXPECT_EQ(ReadByteAttribute(Node(doc), "A", 7), c.byte) << c.text.value_or("(missing)");
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntegerReading,
    ::testing::Values(IntegerCase{std::nullopt, -1, 7}, IntegerCase{"", -1, 7}, IntegerCase{"   ", -1, 7},
                      IntegerCase{"4", 4, 4}, IntegerCase{" 12 ", 12, 12}, IntegerCase{"+3", 3, 3},
                      IntegerCase{"0", 0, 0}, IntegerCase{"007", 7, 7}, IntegerCase{"257", 257, 1},
                      IntegerCase{"256", 256, 0}, IntegerCase{"-1", -1, 255}, IntegerCase{"-255", -255, 1},
                      IntegerCase{"1.0", -1, 7}, IntegerCase{"1,5", -1, 7}, IntegerCase{"0x10", -1, 7},
                      IntegerCase{"abc", -1, 7}, IntegerCase{"5 5", -1, 7}, IntegerCase{"+", -1, 7},
                      IntegerCase{"+-1", -1, 7}, IntegerCase{"9223372036854775807", 9223372036854775807, 255},
                      IntegerCase{"9223372036854775808", -1, 7},
                      IntegerCase{"99999999999999999999999", -1, 7}));

struct DecimalCase {
    std::optional<std::string> text;
    double value;
};

class DecimalReading : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalReading, TakesCommaAndPointAsTheSeparator) {
    const DecimalCase& c = GetParam();
    EXPECT_DOUBLE_EQ(ReadDecimalAttribute(Node(Element(c.text)), "A"), c.value)
        << c.text.value_or("(missing)");
}

INSTANTIATE_TEST_SUITE_P(Table, DecimalReading,
                         ::testing::Values(DecimalCase{std::nullopt, 0}, DecimalCase{"", 0},
                                           DecimalCase{"2", 2}, DecimalCase{" 1.5 ", 1.5},
                                           DecimalCase{"1,5", 1.5}, DecimalCase{"-0,25", -0.25},
                                           DecimalCase{"+.5", 0.5}, DecimalCase{"3.", 3},
                                           DecimalCase{"1e3", 1000}, DecimalCase{"2,5E-1", 0.25},
                                           DecimalCase{"1e-400", 0}, DecimalCase{"1.2.3", 0},
                                           DecimalCase{"1,2.3", 0}, DecimalCase{"abc", 0},
                                           DecimalCase{"inf", 0}, DecimalCase{"nan", 0}, DecimalCase{"1e", 0},
                                           DecimalCase{"0x1p3", 0}, DecimalCase{".", 0}));

struct MoneyCase {
    std::optional<std::string> text;
    std::int64_t money;
    std::int64_t payment;
};

class MoneyReading : public ::testing::TestWithParam<MoneyCase> {};

// Amounts keep four decimals, halves to even; payments are kopecks, halves to even.
TEST_P(MoneyReading, RoundsHalvesToEven) {
    const MoneyCase& c = GetParam();
    const pugi::xml_document doc = Element(c.text);
    EXPECT_EQ(ReadMoneyAttribute(Node(doc), "A").Units(), c.money) << c.text.value_or("(missing)");
    EXPECT_EQ(ReadPaymentAttribute(Node(doc), "A").Units(), c.payment) << c.text.value_or("(missing)");
}

INSTANTIATE_TEST_SUITE_P(
    Table, MoneyReading,
    ::testing::Values(MoneyCase{std::nullopt, 0, 0}, MoneyCase{"", 0, 0},
                      MoneyCase{"120.50", 1205000, 1205000}, MoneyCase{" 120,5 ", 1205000, 1205000},
                      MoneyCase{"0.00005", 0, 0}, MoneyCase{"0.00015", 2, 0},
                      MoneyCase{"0.123456", 1235, 1200}, MoneyCase{"10.005", 100050, 100000},
                      MoneyCase{"10.015", 100150, 100200}, MoneyCase{"10.0151", 100151, 100200},
                      MoneyCase{"-2.5", -25000, -25000}, MoneyCase{"1e2", 1000000, 0},
                      MoneyCase{"1,5E1", 150000, 0}, MoneyCase{"abc", 0, 0}, MoneyCase{"1.2.3", 0, 0},
                      MoneyCase{"12 руб.", 0, 0},
                      MoneyCase{"922337203685477.5807", 9223372036854775807, 9223372036854775800}));

class HugeAmounts : public ::testing::TestWithParam<std::string> {};

// A number too large for an amount is refused, never taken as 0 or wrapped round.
TEST_P(HugeAmounts, AreRefusedNamingTheAttribute) {
    const pugi::xml_document doc = Element(GetParam());
    for (auto read : {&ReadMoneyAttribute, &ReadPaymentAttribute}) {
        try {
            read(Node(doc), "A");
            ADD_FAILURE() << GetParam() << " was read";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Значение атрибута A вне допустимого диапазона");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HugeAmounts,
                         ::testing::Values(std::string("922337203685477.5808"),
                                           std::string("99999999999999999999"),
                                           std::string("-922337203685477.581"), "1" + std::string(400, '0')));

TEST(HugeAmountsWithExponent, AreRefusedAsAmountsAndAsDecimals) {
    const pugi::xml_document doc = Element(std::string("1e20"));
    EXPECT_THROW(ReadMoneyAttribute(Node(doc), "A"), std::runtime_error);
    // A payment has no exponent: the text is malformed and reads as 0.
    EXPECT_EQ(ReadPaymentAttribute(Node(doc), "A").Units(), 0);
    EXPECT_DOUBLE_EQ(ReadDecimalAttribute(Node(doc), "A"), 1e20);
    EXPECT_THROW(ReadDecimalAttribute(Node(Element(std::string("1e400"))), "A"), std::runtime_error);
    EXPECT_THROW(ReadDecimalAttribute(Node(Element(std::string("-12e999999999999999999"))), "A"),
                 std::runtime_error);
}

TEST(TextReading, KeepsTheTextAsItIs) {
    EXPECT_EQ(ReadTextAttribute(Node(Element(std::string("  Молоко  "))), "A"), "  Молоко  ");
    EXPECT_EQ(ReadTextAttribute(Node(Element(std::nullopt)), "A"), "");
    EXPECT_EQ(ReadTextAttribute(pugi::xml_node(), "A"), "");
}

} // namespace
} // namespace veltrano::kkt::testing
