#include "kkt/operations/receipt_vat.h"

#include "kkt/frame/storage_numbers.h"
#include "kkt/vocab/tax_values.h"

#include <stdexcept>

namespace veltrano::kkt {
namespace {

// The VAT included in an amount at rate/(100 + rate), exact to 1/10000, halves to even.
Money IncludedVat(Money amount, std::int64_t rate) {
    return amount.MulDiv(rate, 100 + rate);
}

void ClaimPair(std::uint8_t& marker, int rateNumber) {
    if (marker != 0 && marker != rateNumber)
        throw std::runtime_error("Недопустимо сочетание налогов 20% и 18% в одном документе");
    marker = static_cast<std::uint8_t>(rateNumber);
}

// 22 % replaced 20 %: one receipt charges one of them.
void RefuseBoth20And22(bool both) {
    if (both)
        throw std::runtime_error("Недопустимо сочетание налогов 22% и 20% в одном документе");
}

} // namespace

Money VatTable::Add(int rateNumber, Money amount) {
    Money* group = nullptr;
    Money vat;
    switch (rateNumber) {
    case Vat20:
    case Vat18:
        RefuseBoth20And22(rateNumber == Vat20 && sum22Used_);
        ClaimPair(marker20Or18_, rateNumber);
        group = &sum20Or18_;
        vat = IncludedVat(amount, rateNumber == Vat20 ? 20 : 18);
        break;
    case Vat10:
        group = &sum10_;
        vat = IncludedVat(amount, 10);
        break;
    case Vat0:
        group = &sum0_;
        vat = amount;
        break;
    case VatWithout:
        group = &sumWithoutVat_;
        vat = amount;
        break;
    case Vat20_120:
    case Vat18_118:
        RefuseBoth20And22(rateNumber == Vat20_120 && sum22_122Used_);
        ClaimPair(marker20_120Or18_118_, rateNumber);
        group = &sum20_120Or18_118_;
        vat = IncludedVat(amount, rateNumber == Vat20_120 ? 20 : 18);
        break;
    case Vat10_110:
        group = &sum10_110_;
        vat = IncludedVat(amount, 10);
        break;
    case Vat5:
        group = &sum5_;
        vat = IncludedVat(amount, 5);
        break;
    case Vat7:
        group = &sum7_;
        vat = IncludedVat(amount, 7);
        break;
    case Vat5_105:
        group = &sum5_105_;
        vat = IncludedVat(amount, 5);
        break;
    case Vat7_107:
        group = &sum7_107_;
        vat = IncludedVat(amount, 7);
        break;
    case Vat22:
        RefuseBoth20And22(marker20Or18_ == Vat20);
        sum22Used_ = true;
        group = &sum22_;
        vat = IncludedVat(amount, 22);
        break;
    case Vat22_122:
        RefuseBoth20And22(marker20_120Or18_118_ == Vat20_120);
        sum22_122Used_ = true;
        group = &sum22_122_;
        vat = IncludedVat(amount, 22);
        break;
    default:
        throw std::runtime_error("Налоговая группа вне допустимого диапазона");
    }
    *group = AddAmounts(*group, vat);
    return vat;
}

std::vector<VatTable::SumLine> VatTable::SumLines() const {
    const SumLine all[] = {
        {marker20Or18_ == Vat20 ? "СУММА НДС 20%" : "СУММА НДС 18%", sum20Or18_},
        {"СУММА НДС 10%", sum10_},
        {"СУММА НДС 0%", sum0_},
        {"СУММА БЕЗ НДС", sumWithoutVat_},
        {marker20_120Or18_118_ == Vat20_120 ? "СУММА НДС 20/120" : "СУММА НДС 18/118", sum20_120Or18_118_},
        {"СУММА НДС 10/110", sum10_110_},
        {"СУММА НДС 5%", sum5_},
        {"СУММА НДС 7%", sum7_},
        {"СУММА НДС 5/105", sum5_105_},
        {"СУММА НДС 7/107", sum7_107_},
        {"СУММА НДС 22%", sum22_},
        {"СУММА НДС 22/122", sum22_122_},
    };
    std::vector<SumLine> lines;
    for (const SumLine& line : all)
        if (line.sum != Money())
            lines.push_back(line);
    return lines;
}

} // namespace veltrano::kkt
