// VAT rate codes of the check package and their rate numbers (position in the list plus one).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrano::kkt {

class TaxValues {
public:
    TaxValues();

    // The rate number of a code: the first entry equal to it ignoring letter case (not trimmed), plus one;
    // 0 when no entry is equal.
    int IDOfTax(std::string_view taxValue) const;
    const std::vector<std::string>& Codes() const { return codes_; }

private:
    std::vector<std::string> codes_;
};

// Rate numbers of the list.
enum VatRate : int {
    VatNone = 0,
    Vat20 = 1,
    Vat18 = 2,
    Vat10 = 3,
    Vat0 = 4,
    VatWithout = 5,
    Vat20_120 = 6,
    Vat18_118 = 7,
    Vat10_110 = 8,
    Vat5 = 9,
    Vat7 = 10,
    Vat5_105 = 11,
    Vat7_107 = 12,
    Vat22 = 13,
    Vat22_122 = 14,
};

} // namespace veltrano::kkt
