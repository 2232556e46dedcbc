#include "output/printer_port.h"

#include "platform/printer_link.h"

#include <utility>

namespace veltrano::output {
namespace {

class LinkPort final : public IPrinterPort {
public:
    LinkPort(PrinterPortSettings settings, std::unique_ptr<platform::PrinterLink> link)
        : settings_(std::move(settings)), link_(std::move(link)) {}

    void Open() override { link_->Open(); }
    void Write(std::string_view bytes) override { link_->Write(bytes); }
    void Close() noexcept override { link_->Close(); }
    const PrinterPortSettings& Settings() const override { return settings_; }

private:
    PrinterPortSettings settings_;
    std::unique_ptr<platform::PrinterLink> link_;
};

struct LinkMaker {
    const std::filesystem::path& dataFolder;

    std::unique_ptr<platform::PrinterLink> operator()(const UsbPortSettings& usb) const {
        return platform::CreateUsbLink(usb.Path);
    }
    std::unique_ptr<platform::PrinterLink> operator()(const ComPortSettings& com) const {
        return platform::CreateSerialLink(dataFolder,
                                          {com.Port, com.BaudRate, com.DataBits, com.StopBits, com.Parity});
    }
    std::unique_ptr<platform::PrinterLink> operator()(const LanPortSettings& lan) const {
        return platform::CreateTcpLink(lan.Address, lan.Port);
    }
};

} // namespace

std::unique_ptr<IPrinterPort> CreatePrinterPort(PrinterPortSettings settings,
                                                const std::filesystem::path& dataFolder) {
    std::unique_ptr<platform::PrinterLink> link = std::visit(LinkMaker{dataFolder}, settings);
    return std::make_unique<LinkPort>(std::move(settings), std::move(link));
}

} // namespace veltrano::output
