// Equipment errors: the error with an equipment code, the last-error record and the catalogue of standard
// texts.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::driver {

// Errors are std::exception descendants with UTF-8 messages; EquException adds an equipment code.
class EquException : public std::runtime_error {
public:
    EquException(std::int32_t code, const std::string& message, std::string strCode = {})
        : std::runtime_error(message), Code(code), StrCode(std::move(strCode)) {}
    std::int32_t Code;
    std::string StrCode;
};

struct ResultRecord {
    std::int32_t ErrorCode = 0;
    std::string ErrorDescription;
    bool BoolResult = true;

    void Clear();
    void SetError(std::string description, std::int32_t code);
    std::int32_t GetIntResult() const;
};

// The catalogue lookup: a non-empty description with a non-zero code wins; then the code's standard text;
// then the default text when not empty; else "Неизвестная ошибка".
std::string GetErrorDescription(std::int32_t code, std::string_view description,
                                std::string_view defaultText);

} // namespace veltrano::driver
