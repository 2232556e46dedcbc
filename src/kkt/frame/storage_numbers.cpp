#include "kkt/frame/storage_numbers.h"

#include "kkt/storage/fiscal_storage.h"

#include <charconv>
#include <limits>
#include <optional>
#include <stdexcept>

namespace veltrano::kkt {
namespace {

constexpr std::size_t CountDigits = 4;

[[noreturn]] void ThrowNotANumber(std::string_view field, std::string_view value) {
    throw std::runtime_error("Значение поля " + std::string(field) + " в ФН не является числом: \"" +
                             std::string(value) + "\"");
}

[[noreturn]] void ThrowOutOfRange() {
    throw std::overflow_error("Сумма вне допустимого диапазона");
}

} // namespace

std::int64_t ReadInteger(const FiscalStorage& storage, std::string_view field) {
    const std::string value = storage.Value(field);
    const char* first = value.data();
    const char* last = value.data() + value.size();
    if (first != last && *first == '+')
        ++first;
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last || first == last)
        ThrowNotANumber(field, value);
    return number;
}

Money ReadAmount(const FiscalStorage& storage, std::string_view field) {
    const std::string value = storage.Value(field);
    const std::optional<Money> amount = Money::Parse(value);
    if (!amount)
        ThrowNotANumber(field, value);
    return *amount;
}

std::int64_t IncreaseCounter(FiscalStorage& storage, std::string_view field) {
    const std::int64_t value = ReadInteger(storage, field);
    if (value == std::numeric_limits<std::int64_t>::max())
        throw std::overflow_error("Счетчик " + std::string(field) + " в ФН переполнен");
    storage.SetValue(field, value + 1);
    return value + 1;
}

std::string MoneyRegister(int index) {
    return "M" + std::to_string(index);
}

std::string OperationRegister(int index) {
    return "O" + std::to_string(index);
}

Money AddAmounts(Money a, Money b) {
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    if ((b.Units() > 0 && a.Units() > Max - b.Units()) || (b.Units() < 0 && a.Units() < Min - b.Units()))
        ThrowOutOfRange();
    return a + b;
}

Money SumAmounts(std::initializer_list<Money> amounts) {
    Money sum;
    for (Money amount : amounts)
        sum = AddAmounts(sum, amount);
    return sum;
}

Money NegateAmount(Money amount) {
    if (amount.Units() == std::numeric_limits<std::int64_t>::min())
        ThrowOutOfRange();
    return -amount;
}

std::string FormatCount(std::int64_t count) {
    // Like "%04d": the sign counts towards the four places.
    const bool negative = count < 0;
    std::string digits = std::to_string(count);
    if (negative)
        digits.erase(0, 1);
    const std::size_t width = negative ? CountDigits - 1 : CountDigits;
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

} // namespace veltrano::kkt
