#include "kkt/operations/marking_code.h"

#include <array>
#include <cstddef>

namespace veltrano::kkt {
namespace {

constexpr char GroupSeparator = '\x1D';
constexpr std::string_view GtinElement = "01";
constexpr std::string_view SerialElement = "21";
constexpr std::size_t GtinLength = 14;
constexpr std::size_t MaxVariableLength = 20;
// The serial numbers the marking system issues: tried first when no separator marks where one ends.
constexpr std::array<std::size_t, 3> UsualSerialLengths{13, 6, 7};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The 82 characters GS1 allows in an alphanumeric element.
bool IsGs1Character(char c) {
    if (IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    return std::string_view("!\"%&'()*+,-./:;<=>?_").find(c) != std::string_view::npos;
}

bool AllOf(std::string_view text, bool (*allowed)(char)) {
    for (const char c : text)
        if (!allowed(c))
            return false;
    return true;
}

// GS1's check digit: the other digits weighted 3 and 1 alternately from the right, completed to a multiple
// of ten.
bool CheckDigitIsRight(std::string_view gtin) {
    int sum = 0;
    for (std::size_t i = 0; i + 1 < gtin.size(); ++i)
        sum += (gtin[i] - '0') * ((gtin.size() - 1 - i) % 2 == 1 ? 3 : 1);
    return (10 - sum % 10) % 10 == gtin.back() - '0';
}

struct TailElement {
    std::string_view Ai;
    bool Digits;
    // The lengths its data may have; none for data that runs to the next separator or the end.
    std::array<std::size_t, 2> Lengths;
    bool Crypto;
};

constexpr std::array<TailElement, 9> TailElements{{
    {"91", false, {4, 0}, false},
    {"92", false, {44, 88}, true},
    {"93", false, {4, 0}, true},
    {"8005", true, {6, 0}, false},
    {"3103", true, {6, 0}, false},
    {"17", true, {6, 0}, false},
    {"11", true, {6, 0}, false},
    {"7003", true, {10, 0}, false},
    {"10", false, {0, 0}, false},
}};

// Each element appears at most once, so the search below stays as short as the table.
bool ReadTail(std::string_view rest, unsigned used, bool cryptoSeen, std::string& tail) {
    if (rest.empty())
        return cryptoSeen;
    for (std::size_t index = 0; index < TailElements.size(); ++index) {
        const TailElement& element = TailElements[index];
        if ((used & (1u << index)) != 0 || !rest.starts_with(element.Ai))
            continue;
        const std::string_view data = rest.substr(element.Ai.size());
        std::array<std::size_t, 2> lengths = element.Lengths;
        if (lengths[0] == 0)
            lengths[0] =
                data.find(GroupSeparator) == std::string_view::npos ? data.size() : data.find(GroupSeparator);
        for (const std::size_t length : lengths) {
            if (length == 0 || length > data.size() ||
                (element.Lengths[0] == 0 && length > MaxVariableLength))
                continue;
            const std::string_view value = data.substr(0, length);
            if (!AllOf(value, element.Digits ? IsDigit : IsGs1Character))
                continue;
            std::string_view after = data.substr(length);
            if (!after.empty() && after.front() == GroupSeparator)
                after.remove_prefix(1);
            const std::size_t mark = tail.size();
            tail.append(element.Ai).append(value);
            if (ReadTail(after, used | (1u << index), cryptoSeen || element.Crypto, tail))
                return true;
            tail.resize(mark);
        }
    }
    return false;
}

// The serial number of the given length, with the tail after it.
bool ReadSerialAndTail(std::string_view rest, std::size_t length, MarkingCode& code) {
    if (length == 0 || length > rest.size() || length > MaxVariableLength)
        return false;
    const std::string_view serial = rest.substr(0, length);
    if (!AllOf(serial, IsGs1Character))
        return false;
    std::string_view after = rest.substr(length);
    if (!after.empty() && after.front() == GroupSeparator)
        after.remove_prefix(1);
    code.Tail.clear();
    if (!ReadTail(after, 0, false, code.Tail))
        return false;
    code.Serial = serial;
    return true;
}

} // namespace

std::optional<MarkingCode> ParseMarkingCode(std::string_view bytes) {
    if (!bytes.empty() && bytes.front() == GroupSeparator)
        bytes.remove_prefix(1);
    if (!bytes.starts_with(GtinElement))
        return std::nullopt;
    const std::string_view gtin = bytes.substr(GtinElement.size(), GtinLength);
    if (gtin.size() != GtinLength || !AllOf(gtin, IsDigit) || !CheckDigitIsRight(gtin))
        return std::nullopt;
    const std::string_view afterGtin = bytes.substr(GtinElement.size() + GtinLength);
    if (!afterGtin.starts_with(SerialElement))
        return std::nullopt;
    const std::string_view rest = afterGtin.substr(SerialElement.size());

    MarkingCode code;
    code.Gtin = gtin;
    // A separator ends the serial number; without one, the usual lengths come first.
    const std::size_t separator = rest.find(GroupSeparator);
    if (separator != std::string_view::npos)
        return ReadSerialAndTail(rest, separator, code) ? std::optional(code) : std::nullopt;
    for (const std::size_t length : UsualSerialLengths)
        if (ReadSerialAndTail(rest, length, code))
            return code;
    for (std::size_t length = 1; length <= MaxVariableLength; ++length)
        if (ReadSerialAndTail(rest, length, code))
            return code;
    return std::nullopt;
}

std::string MarkingCodeKey(std::string_view bytes) {
    if (const std::optional<MarkingCode> code = ParseMarkingCode(bytes))
        return std::string(GtinElement) + code->Gtin + std::string(SerialElement) + code->Serial;
    return std::string(bytes);
}

} // namespace veltrano::kkt
