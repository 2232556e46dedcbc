#include "driver/host_params.h"

#include "addin/variant.h"

#include <stdexcept>
#include <string>

namespace veltrano::driver {

V8Variant& Param(V8Variant* params, long count, long index) {
    if (params == nullptr || index >= count)
        throw std::runtime_error("Не передан параметр " + std::to_string(index + 1) +
                                 " (передано параметров: " + std::to_string(count < 0 ? 0 : count) + ")");
    return params[index];
}

void SetOutText(const addin::UserObject& driver, V8Variant& target, std::string_view utf8) {
    if (!addin::V8SetUtf8(driver.V8MM, &target, utf8))
        throw std::runtime_error("Не удалось выделить память платформы для результата");
}

void SetOutInt(const addin::UserObject& driver, V8Variant& target, std::int32_t number) {
    addin::V8SetInt(driver.V8MM, &target, number);
}

} // namespace veltrano::driver
