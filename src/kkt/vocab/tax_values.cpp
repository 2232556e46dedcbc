#include "kkt/vocab/tax_values.h"

#include "common/text.h"

namespace veltrano::kkt {

TaxValues::TaxValues() {
    // 22 % and 22/122 came after the others and keep the rate numbers 13 and 14.
    constexpr std::string_view list = "20,18,10,0,none,20/120,18/118,10/110,5,7,5/105,7/107,22,22/122";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string_view::npos)
            end = list.size();
        codes_.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
}

int TaxValues::IDOfTax(std::string_view taxValue) const {
    for (std::size_t i = 0; i < codes_.size(); ++i)
        if (text::EqualsNoCase(codes_[i], taxValue))
            return static_cast<int>(i) + 1;
    return 0;
}

} // namespace veltrano::kkt
