// The cash-register host methods: each adapter selects the device, reads the host's parameters, calls one
// core operation and writes the results back. The cash register implements the core operations it supports;
// the others fail with "Abstract Error".
#pragma once

#include "common/money.h"
#include "driver/common_driver.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>

namespace veltrano::driver {

// The amount of a cash-in or cash-out as the host passes it: the number times 10000, rounded half to even.
// A number that is no finite amount in range fails.
Money AmountFromHostNumber(double number);

class CashRegisterAdapter : public CommonDriver {
public:
    static const addin::ClassDeclarations Decls;
    const addin::ClassDeclarations& Declarations() const override { return Decls; }

    // The framework's description, then the kind: a cash register, no integration component.
    static void UpdateDriverInfo(DriverDescription& info);

    // Runs an adapter's steps: the failure's code is the EquException's, 1001 for any other error.
    template <typename Steps> bool EcrGuarded(V8Variant* result, Steps&& steps) {
        try {
            steps();
            ReportSuccess(result);
        } catch (const std::exception& error) {
            ReportEcrFailure(error, result);
        } catch (...) {
            ReportEcrFailure(std::runtime_error("Неизвестная ошибка"), result);
        }
        return true;
    }

    // Core operations of the cash register.
    virtual void GetDataKKT(pugi::xml_document& output);
    virtual void OperationFN(std::uint8_t operationType, const pugi::xml_document& parameters);
    virtual void OpenShift(const pugi::xml_document& input, pugi::xml_document& output);
    virtual void CloseShift(const pugi::xml_document& input, pugi::xml_document& output);
    virtual void ProcessCheck(bool electronically, const pugi::xml_document& checkPackage,
                              pugi::xml_document& output, bool correction);
    virtual void ProcessCorrectionCheck(bool electronically, const pugi::xml_document& correctionPackage,
                                        pugi::xml_document& output);
    virtual void PrintTextDocument(const pugi::xml_document& documentPackage);
    virtual void CashInOutcome(const pugi::xml_document& input, Money amount);
    virtual void PrintXReport(const pugi::xml_document& input);
    virtual void GetCurrentStatus(const pugi::xml_document& input, pugi::xml_document& output);
    virtual void ReportCurrentStatusOfSettlements(const pugi::xml_document& input,
                                                  pugi::xml_document& output);
    virtual void OpenCashDrawer();
    virtual std::int64_t GetLineLength();
    virtual void PrintCheckCopy(const std::string& checkNumber);
    virtual void OpenSessionRegistrationKM();
    virtual void CloseSessionRegistrationKM();
    virtual void RequestKM(const pugi::xml_document& input, pugi::xml_document& output);
    virtual void GetProcessingKMResult(pugi::xml_document& output, std::int32_t& requestStatus);
    virtual void ConfirmKM(const std::string& requestGuid, std::int32_t confirmationType);
    virtual void SetDateTime(const std::string& dateTime);
    virtual std::string GetDateTime();
    virtual void GetDocumentInformation(std::int32_t documentNumber, pugi::xml_document& output);
};

} // namespace veltrano::driver
