#include "output/printer_port.h"

#include <stdexcept>
#include <utility>

namespace veltrano::output {
namespace {

class TransportlessPort final : public IPrinterPort {
public:
    explicit TransportlessPort(PrinterPortSettings settings) : settings_(std::move(settings)) {}

    void Open() override { Refuse(); }
    void Write(std::string_view) override { Refuse(); }
    void Close() noexcept override {}
    const PrinterPortSettings& Settings() const override { return settings_; }

private:
    [[noreturn]] void Refuse() const {
        throw std::runtime_error("Печать на принтер пока не поддерживается: нет транспорта " +
                                 std::string(PortKindName(settings_)));
    }

    PrinterPortSettings settings_;
};

struct KindName {
    std::string_view operator()(const UsbPortSettings&) const { return "USB"; }
    std::string_view operator()(const ComPortSettings&) const { return "COM"; }
    std::string_view operator()(const LanPortSettings&) const { return "LAN"; }
};

} // namespace

std::string_view PortKindName(const PrinterPortSettings& settings) {
    return std::visit(KindName{}, settings);
}

std::unique_ptr<IPrinterPort> CreatePrinterPort(PrinterPortSettings settings) {
    return std::make_unique<TransportlessPort>(std::move(settings));
}

} // namespace veltrano::output
