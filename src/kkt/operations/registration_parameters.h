// The fiscal parameters the platform sends with a storage operation: every value an attribute of the document
// element.
#pragma once

#include <pugixml.hpp>

#include <string>

namespace veltrano::kkt {

struct FiscalParameters {
    std::string CashierName;
    std::string CashierINN; // padded to 20
    std::string KKTNumber;  // padded to 20
    std::string CompanyName;
    std::string INN; // padded to 12
    std::string SaleAddress;
    std::string SaleLocation;
    std::string TaxationSystems;
    bool IsOffline = false;
    bool IsEncrypted = false;
    bool IsAutomatic = false;
    bool IsOnlineOnly = false;
    bool IsAutomaticPrinter = false;
    bool IsService = false;
    std::string AgentTypes;
    std::string AutomaticNumber; // padded to 20
    bool BSOSing = false;
    std::string OFDCompany;
    std::string OFDCompanyINN; // padded to 12
    std::string SenderEmail;
    std::string FNSURL;
    bool IsExcisable = false;
    bool IsGambling = false;
    bool IsLottery = false;
};

// Missing attributes read as empty texts and false flags; a flag is true only for "True" in any letter case.
// A document without a document element fails with "Ошибка входных параметров команды".
FiscalParameters ReadFiscalParameters(const pugi::xml_document& parameters);

} // namespace veltrano::kkt
