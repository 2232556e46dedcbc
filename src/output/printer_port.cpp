#include "output/printer_port.h"

#include <stdexcept>
#include <utility>

namespace veltrano::output {
namespace {

class TTransportlessPort final : public IPrinterPort {
public:
    explicit TTransportlessPort(TPrinterPortSettings settings) : settings_(std::move(settings)) {}

    void Open() override { Refuse(); }
    void Write(std::string_view) override { Refuse(); }
    void Close() noexcept override {}
    const TPrinterPortSettings& Settings() const override { return settings_; }

private:
    [[noreturn]] void Refuse() const {
        throw std::runtime_error("Печать на принтер пока не поддерживается: нет транспорта " +
                                 std::string(PortKindName(settings_)));
    }

    TPrinterPortSettings settings_;
};

struct KindName {
    std::string_view operator()(const TUsbPortSettings&) const { return "USB"; }
    std::string_view operator()(const TComPortSettings&) const { return "COM"; }
    std::string_view operator()(const TLanPortSettings&) const { return "LAN"; }
};

} // namespace

std::string_view PortKindName(const TPrinterPortSettings& settings) {
    return std::visit(KindName{}, settings);
}

std::unique_ptr<IPrinterPort> CreatePrinterPort(TPrinterPortSettings settings) {
    return std::make_unique<TTransportlessPort>(std::move(settings));
}

} // namespace veltrano::output
