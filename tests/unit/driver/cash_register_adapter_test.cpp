#include "driver/cash_register_adapter.h"

#include "addin/variant.h"
#include "driver_test_support.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace veltrano::driver {
namespace {

using testing::CallHostMethod;
using testing::HeapMemory;
using testing::HostParams;

std::string InnerXml(const pugi::xml_document& doc) {
    std::ostringstream text;
    doc.document_element().print(text, "", pugi::format_raw);
    return text.str();
}

// A cash register that knows one device, "DEV-1", and records what its core operations receive.
class RecordingDriver : public CashRegisterAdapter {
public:
    void SelectInstance(const std::string& deviceId) override {
        selected.push_back(deviceId);
        if (deviceId != "DEV-1")
            throw std::runtime_error("unknown device " + deviceId);
    }
    void OperationFN(std::uint8_t operationType, const pugi::xml_document& parameters) override {
        calls.push_back("OperationFN " + std::to_string(operationType) + " " + InnerXml(parameters));
    }
    void OpenShift(const pugi::xml_document& input, pugi::xml_document& output) override {
        calls.push_back("OpenShift " + InnerXml(input));
        output.append_child("OutputParameters").append_child("Parameters").append_attribute("ShiftNumber") =
            7;
    }
    void ProcessCheck(bool electronically, const pugi::xml_document& checkPackage, pugi::xml_document& output,
                      bool correction) override {
        calls.push_back(std::string("ProcessCheck ") + (electronically ? "e" : "p") +
                        (correction ? "c " : " ") + InnerXml(checkPackage));
        output.append_child("DocumentOutputParameters");
    }
    void CashInOutcome(const pugi::xml_document&, Money amount) override {
        calls.push_back("CashInOutcome " + std::to_string(amount.Units()));
    }
    void PrintXReport(const pugi::xml_document&) override {
        throw EquException(1004, "Ошибка входных параметров команды");
    }
    std::int64_t GetLineLength() override { return 48; }
    std::string GetDateTime() override { return ""; }

    std::vector<std::string> selected;
    std::vector<std::string> calls;
};

class AdapterTest : public testing::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        driver_.V8MM = &memory_;
    }

    bool Call(std::u16string_view name, HostParams& params) {
        V8Variant result{};
        EXPECT_TRUE(CallHostMethod(driver_, name, &result, params)) << "adapters always answer true";
        EXPECT_EQ(result.vt, napi::VTYPE_BOOL);
        return result.bVal;
    }

    HeapMemory memory_;
    RecordingDriver driver_;
};

TEST_F(AdapterTest, TheDeviceIsSelectedBeforeAnythingElse) {
    HostParams params(memory_);
    params.Utf8("DEV-2").Utf8("not even xml").Empty();
    EXPECT_FALSE(Call(u"OpenShift", params));
    EXPECT_EQ(driver_.selected, std::vector<std::string>{"DEV-2"});
    EXPECT_TRUE(driver_.calls.empty());
    EXPECT_EQ(driver_.LastResult().GetIntResult(), 1001);
    EXPECT_EQ(driver_.LastResult().ErrorDescription, "unknown device DEV-2");
}

TEST_F(AdapterTest, XmlOutputIsADeclaredDocumentWithCrLfLines) {
    HostParams params(memory_);
    params.Utf8("DEV-1")
        .Utf8("<InputParameters><Parameters CashierName=\"Иванов\"/></InputParameters>")
        .Empty();
    EXPECT_TRUE(Call(u"OpenShift", params));
    EXPECT_EQ(driver_.calls,
              std::vector<std::string>{"OpenShift <InputParameters><Parameters CashierName=\"Иванов\"/>"
                                       "</InputParameters>"});
    EXPECT_EQ(params.OutText(2), "<?xml version=\"1.0\"?>\r\n<OutputParameters>\r\n  <Parameters "
                                 "ShiftNumber=\"7\" />\r\n</OutputParameters>\r\n");
    EXPECT_EQ(driver_.LastResult().GetIntResult(), 0);
}

TEST_F(AdapterTest, CharactersXmlForbidsAreGoneBeforeTheCoreSeesThePackage) {
    HostParams params(memory_);
    params.Utf8("DEV-1")
        .Bool(true)
        .Text(u"<CheckPackage><Position Name=\"Торт \U0001F382\u000B!\"/></CheckPackage>")
        .Empty();
    EXPECT_TRUE(Call(u"ProcessCheck", params));
    EXPECT_EQ(driver_.calls,
              std::vector<std::string>{"ProcessCheck e <CheckPackage><Position Name=\"Торт !\"/>"
                                       "</CheckPackage>"});
}

TEST_F(AdapterTest, MalformedXmlFailsWithTheParsersMessageAndTheCoreDoesNotRun) {
    pugi::xml_document probe;
    const std::string malformed = "<CheckPackage><Position></CheckPackage>";
    const pugi::xml_parse_result parsed = probe.load_string(malformed.c_str());
    HostParams params(memory_);
    params.Utf8("DEV-1").Bool(false).Utf8(malformed).Utf8("left as it was");
    EXPECT_FALSE(Call(u"ProcessCheck", params));
    EXPECT_TRUE(driver_.calls.empty());
    EXPECT_NE(driver_.LastResult().ErrorDescription.find(parsed.description()), std::string::npos);
    EXPECT_EQ(driver_.LastResult().GetIntResult(), 1001);
    EXPECT_EQ(params.OutText(3), "left as it was");
}

TEST_F(AdapterTest, OperationTypeKeepsItsLowByte) {
    for (const auto& [type, expected] : std::vector<std::pair<std::int32_t, std::string>>{
             {2, "2"}, {258, "2"}, {255, "255"}, {-1, "255"}, {256, "0"}}) {
        driver_.calls.clear();
        HostParams params(memory_);
        params.Utf8("DEV-1").Int(type).Utf8("<Parameters/>");
        EXPECT_TRUE(Call(u"OperationFN", params));
        EXPECT_EQ(driver_.calls, std::vector<std::string>{"OperationFN " + expected + " <Parameters/>"})
            << type;
    }
}

TEST_F(AdapterTest, EquipmentCodesSurviveAndOtherErrorsBecome1001) {
    HostParams report(memory_);
    report.Utf8("DEV-1").Utf8("<InputParameters/>");
    EXPECT_FALSE(Call(u"PrintXReport", report));
    EXPECT_EQ(driver_.LastResult().GetIntResult(), 1004);
    EXPECT_EQ(driver_.LastResult().ErrorDescription, "Ошибка входных параметров команды");

    HostParams close(memory_);
    close.Utf8("DEV-1").Utf8("<InputParameters/>").Empty();
    EXPECT_FALSE(Call(u"CloseShift", close));
    EXPECT_EQ(driver_.LastResult().GetIntResult(), 1001);
    EXPECT_EQ(driver_.LastResult().ErrorDescription, "Abstract Error");
}

TEST_F(AdapterTest, UnimplementedOperationsFailAfterTheirInputIsRead) {
    HostParams wellFormed(memory_);
    wellFormed.Utf8("DEV-1").Utf8("<RequestKM/>").Utf8("untouched");
    EXPECT_FALSE(Call(u"RequestKM", wellFormed));
    EXPECT_EQ(driver_.LastResult().ErrorDescription, "Abstract Error");
    EXPECT_EQ(wellFormed.OutText(2), "untouched");

    HostParams malformed(memory_);
    malformed.Utf8("DEV-1").Utf8("<RequestKM>").Empty();
    EXPECT_FALSE(Call(u"RequestKM", malformed));
    EXPECT_NE(driver_.LastResult().ErrorDescription, "Abstract Error");
    EXPECT_EQ(driver_.LastResult().GetIntResult(), 1001);

    for (const char16_t* name : {u"OpenSessionRegistrationKM", u"CloseSessionRegistrationKM"}) {
        HostParams params(memory_);
        params.Utf8("DEV-1");
        EXPECT_FALSE(Call(name, params));
        EXPECT_EQ(driver_.LastResult().ErrorDescription, "Abstract Error");
    }
    HostParams result(memory_);
    result.Utf8("DEV-1").Utf8("kept").Int(5);
    EXPECT_FALSE(Call(u"GetProcessingKMResult", result));
    EXPECT_EQ(result.OutText(1), "kept");
    EXPECT_EQ(result[2].lVal, 5);
}

TEST_F(AdapterTest, SimpleOutputsHaveTheirHostTypes) {
    HostParams length(memory_);
    length.Utf8("DEV-1").Empty();
    EXPECT_TRUE(Call(u"GetLineLength", length));
    EXPECT_EQ(length[1].vt, napi::VTYPE_I4);
    EXPECT_EQ(length[1].lVal, 48);

    HostParams dateTime(memory_);
    dateTime.Utf8("DEV-1").Empty();
    EXPECT_TRUE(Call(u"GetDateTime", dateTime));
    EXPECT_EQ(dateTime[1].vt, napi::VTYPE_PWSTR);
    EXPECT_EQ(dateTime.OutText(1), "");
}

TEST_F(AdapterTest, CashAmountIsTheNumberInTenThousandths) {
    HostParams params(memory_);
    params.Utf8("DEV-1").Utf8("<InputParameters/>").Double(1234.56);
    EXPECT_TRUE(Call(u"CashInOutcome", params));
    HostParams cashOut(memory_);
    cashOut.Utf8("DEV-1").Utf8("<InputParameters/>").Double(-19.99);
    EXPECT_TRUE(Call(u"CashInOutcome", cashOut));
    EXPECT_EQ(driver_.calls, (std::vector<std::string>{"CashInOutcome 12345600", "CashInOutcome -199900"}));
}

TEST_F(AdapterTest, TooFewParametersAreAClearFailure) {
    HostParams params(memory_);
    params.Utf8("DEV-1").Utf8("<InputParameters/>");
    EXPECT_FALSE(Call(u"OpenShift", params));
    EXPECT_TRUE(driver_.calls.empty());
    EXPECT_NE(driver_.LastResult().ErrorDescription.find("Не передан параметр 3"), std::string::npos);
}

struct AmountCase {
    double number;
    std::int64_t units;
};

class AmountTest : public ::testing::TestWithParam<AmountCase> {};

TEST_P(AmountTest, RoundsToTheNearestUnitHalvesToEven) {
    EXPECT_EQ(AmountFromHostNumber(GetParam().number).Units(), GetParam().units) << GetParam().number;
}

INSTANTIATE_TEST_SUITE_P(Amounts, AmountTest,
                         ::testing::Values(AmountCase{1234.56, 12345600}, AmountCase{19.99, 199900},
                                           AmountCase{0.57, 5700}, AmountCase{2.51, 25100},
                                           AmountCase{-19.99, -199900}, AmountCase{0, 0},
                                           AmountCase{0.00025, 2}, AmountCase{0.00035, 4},
                                           AmountCase{-0.00005, 0}, AmountCase{0.12345, 1234},
                                           AmountCase{1.00005, 10001}));

TEST(AmountRangeTest, NumbersThatAreNoAmountFail) {
    for (const double number :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN(), 1e15, -1e15})
        EXPECT_THROW(AmountFromHostNumber(number), std::runtime_error) << number;
    EXPECT_EQ(AmountFromHostNumber(9e14).Units(), 9000000000000000000);
}

} // namespace
} // namespace veltrano::driver
