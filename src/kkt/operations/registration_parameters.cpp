#include "kkt/operations/registration_parameters.h"

#include "common/text.h"
#include "kkt/operations/receipt_attributes.h"
#include "output/line_layout.h"

#include <cstddef>
#include <stdexcept>

namespace veltrano::kkt {
namespace {

constexpr std::size_t INNWidth = 12;
constexpr std::size_t NumberWidth = 20;

std::string Padded(pugi::xml_node node, const char* name, std::size_t width) {
    return output::PadRight(ReadTextAttribute(node, name), width);
}

bool Flag(pugi::xml_node node, const char* name) {
    return text::EqualsNoCase(ReadTextAttribute(node, name), "True");
}

} // namespace

FiscalParameters ReadFiscalParameters(const pugi::xml_document& parameters) {
    const pugi::xml_node node = parameters.document_element();
    if (!node)
        throw std::runtime_error("Ошибка входных параметров команды");
    FiscalParameters read;
    read.CashierName = ReadTextAttribute(node, "CashierName");
    read.CashierINN = Padded(node, "CashierINN", NumberWidth);
    read.KKTNumber = Padded(node, "KKTNumber", NumberWidth);
    read.CompanyName = ReadTextAttribute(node, "CompanyName");
    read.INN = Padded(node, "INN", INNWidth);
    read.SaleAddress = ReadTextAttribute(node, "SaleAddress");
    read.SaleLocation = ReadTextAttribute(node, "SaleLocation");
    read.TaxationSystems = ReadTextAttribute(node, "TaxationSystems");
    read.IsOffline = Flag(node, "IsOffline");
    read.IsEncrypted = Flag(node, "IsEncrypted");
    read.IsAutomatic = Flag(node, "IsAutomatic");
    read.IsOnlineOnly = Flag(node, "IsOnlineOnly");
    read.IsAutomaticPrinter = Flag(node, "IsAutomaticPrinter");
    read.IsService = Flag(node, "IsService");
    read.AgentTypes = ReadTextAttribute(node, "AgentTypes");
    read.AutomaticNumber = Padded(node, "AutomaticNumber", NumberWidth);
    read.BSOSing = Flag(node, "BSOSing");
    read.OFDCompany = ReadTextAttribute(node, "OFDCompany");
    read.OFDCompanyINN = Padded(node, "OFDCompanyINN", INNWidth);
    read.SenderEmail = ReadTextAttribute(node, "SenderEmail");
    read.FNSURL = ReadTextAttribute(node, "FNSURL");
    read.IsExcisable = Flag(node, "IsExcisable");
    read.IsGambling = Flag(node, "IsGambling");
    read.IsLottery = Flag(node, "IsLottery");
    return read;
}

} // namespace veltrano::kkt
