// The failure of appending a document to the output text file.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::output {

// Whatever went wrong (folder, open, lock, write), the output file reports this one text.
inline constexpr std::string_view InvalidOutputPathMessage = "Некорректный путь файла вывода чека";

class EWriteFile : public std::runtime_error {
public:
    explicit EWriteFile(std::string_view innerMessage)
        : std::runtime_error("Ошибка записи файла: " + std::string(innerMessage)) {}
};

} // namespace veltrano::output
