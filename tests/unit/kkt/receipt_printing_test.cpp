#include "common/money.h"
#include "kkt/operations/receipt_operation.h"
#include "output/printer_port.h"
#include "receipt_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace veltrano::kkt::testing {
namespace {

// Counts the documents sent; a refusing port fails like an unreachable printer.
class CountingPort final : public output::IPrinterPort {
public:
    CountingPort(int& opened, bool refuse) : opened_(opened), refuse_(refuse) {}
    void Open() override {
        if (refuse_)
            throw std::runtime_error("Принтер недоступен");
        ++opened_;
    }
    void Write(std::string_view) override {}
    void Close() noexcept override {}
    const output::PrinterPortSettings& Settings() const override { return settings_; }

private:
    int& opened_;
    bool refuse_;
    output::PrinterPortSettings settings_{output::LanPortSettings{"127.0.0.1", 9100}};
};

const char* const Sale = R"(<P><Parameters OperationType="1" CashierName="К"/><Positions>
  <FiscalString Name="A" Quantity="1" PriceWithDiscount="10" AmountWithDiscount="10" VATRate="20"/>
</Positions><Payments ElectronicPayment="10"/></P>)";

struct SwitchCase {
    std::uint8_t enablePrinting;
    bool electronically;
    int printed;
};

class ReceiptPrinting : public ReceiptTest, public ::testing::WithParamInterface<SwitchCase> {};

// The receipt is shown and written to the output file whether it is printed or not.
TEST_P(ReceiptPrinting, FollowsTheSwitchAndTheElectronicReceipt) {
    int printed = 0;
    Instance().SetPrinterPort(std::make_unique<CountingPort>(printed, false));
    Instance().EnablePrinting = GetParam().enablePrinting;

    Check(Sale, GetParam().electronically);

    EXPECT_EQ(printed, GetParam().printed);
    EXPECT_FALSE(NewOutputLines().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, ReceiptPrinting,
                         ::testing::Values(SwitchCase{0, false, 1}, SwitchCase{0, true, 1},
                                           SwitchCase{1, false, 1}, SwitchCase{1, true, 0},
                                           SwitchCase{2, false, 0}, SwitchCase{2, true, 0},
                                           SwitchCase{7, true, 1}));

TEST_F(ReceiptTest, APrinterFailureComesAfterTheReceiptIsCountedAndSaved) {
    int printed = 0;
    Instance().SetPrinterPort(std::make_unique<CountingPort>(printed, true));

    EXPECT_THROW(Check(Sale), std::runtime_error);

    EXPECT_EQ(StoredValue("ReceiptNumber"), "1");
    EXPECT_EQ(StoredValue("M76"), "10");
    EXPECT_FALSE(NewOutputLines().empty());
}

} // namespace
} // namespace veltrano::kkt::testing
