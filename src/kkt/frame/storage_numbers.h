// Numbers read from and written to the fiscal storage's fields, and the way reports print them.
#pragma once

#include "common/money.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace veltrano::kkt {

class FiscalStorage;

// The field as a whole number; a value that is no whole number fails with a message naming the field.
std::int64_t ReadInteger(const FiscalStorage& storage, std::string_view field);
// The field as an exact amount; a value that is no decimal number fails with a message naming the field.
Money ReadAmount(const FiscalStorage& storage, std::string_view field);
// Reads the counter, writes it back one higher (in memory) and returns the new value.
std::int64_t IncreaseCounter(FiscalStorage& storage, std::string_view field);

// Register names: "M193", "O144".
std::string MoneyRegister(int index);
std::string OperationRegister(int index);

// Exact sums; a result beyond the range of amounts fails instead of wrapping round.
Money AddAmounts(Money a, Money b);
Money SumAmounts(std::initializer_list<Money> amounts);
Money NegateAmount(Money amount);

// A count padded on the left with "0" to at least four digits: 0003, 12345.
std::string FormatCount(std::int64_t count);

} // namespace veltrano::kkt
