// The VAT of a receipt: each position's VAT computed from its amount, summed per rate group, and the sum
// lines the receipt prints.
#pragma once

#include "common/money.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace veltrano::kkt {

class VatTable {
public:
    // Adds the VAT of a position of the amount at the rate number (1..14) to its group and returns it. 20 %
    // and 18 % share a group, as do 20/120 and 18/118; the second rate of such a pair in one receipt fails
    // with "Недопустимо сочетание налогов 20% и 18% в одном документе". 22 % and 22/122 have groups of their
    // own; 22 % with 20 %, or 22/122 with 20/120, in one receipt fails with "Недопустимо сочетание налогов
    // 22% и 20% в одном документе". At 0 % and without VAT the VAT is the amount itself: those groups sum the
    // amounts sold.
    Money Add(int rateNumber, Money amount);

    struct SumLine {
        std::string_view label;
        Money sum;
    };
    // The groups that are not 0, in printing order, with their labels.
    std::vector<SumLine> SumLines() const;

    // The groups kept in the money registers.
    Money Sum20Or18() const { return sum20Or18_; }
    Money Sum10() const { return sum10_; }
    Money Sum20_120Or18_118() const { return sum20_120Or18_118_; }
    Money Sum10_110() const { return sum10_110_; }
    Money Sum22() const { return sum22_; }
    Money Sum22_122() const { return sum22_122_; }

private:
    Money sum20Or18_, sum10_, sum0_, sumWithoutVat_, sum20_120Or18_118_, sum10_110_, sum5_, sum7_, sum5_105_,
        sum7_107_, sum22_, sum22_122_;
    // Whether a position at 22 % or at 22/122 was seen, even one that added nothing.
    bool sum22Used_ = false;
    bool sum22_122Used_ = false;
    // The rate number that claimed its pair first; 0 while the pair is unused.
    std::uint8_t marker20Or18_ = 0;
    std::uint8_t marker20_120Or18_118_ = 0;
};

} // namespace veltrano::kkt
