#include "driver/cash_register_adapter.h"

#include "addin/variant.h"
#include "common/xml.h"
#include "driver/host_params.h"
#include "driver/xml_text.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace veltrano::driver {

using addin::UserObject;

namespace {

CashRegisterAdapter& Driver(UserObject& self) {
    return static_cast<CashRegisterAdapter&>(self);
}

// Every adapter starts by making the device named by its first parameter current.
void SelectDevice(CashRegisterAdapter& driver, V8Variant* params, long count) {
    driver.SelectInstance(addin::ReadTextUtf8(Param(params, count, 0)));
}

void ReadXml(pugi::xml_document& doc, V8Variant* params, long count, long index) {
    ParseXmlText(doc, addin::ReadText(Param(params, count, index)));
}

// An output document starts as a bare declaration for the core operation to fill.
struct OutputDocument {
    OutputDocument() { xml::InitDocument(doc); }
    pugi::xml_document doc;
};

void WriteXml(const CashRegisterAdapter& driver, V8Variant& target, const pugi::xml_document& doc) {
    SetOutText(driver, target, xml::ToText(doc));
}

using NoArgOperation = void (CashRegisterAdapter::*)();
using InOperation = void (CashRegisterAdapter::*)(const pugi::xml_document&);
using InOutOperation = void (CashRegisterAdapter::*)(const pugi::xml_document&, pugi::xml_document&);

bool RunNoArg(UserObject& self, V8Variant* result, V8Variant* params, long count, NoArgOperation operation) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        (driver.*operation)();
    });
}

bool RunIn(UserObject& self, V8Variant* result, V8Variant* params, long count, InOperation operation) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        pugi::xml_document input;
        ReadXml(input, params, count, 1);
        (driver.*operation)(input);
    });
}

bool RunInOut(UserObject& self, V8Variant* result, V8Variant* params, long count, InOutOperation operation) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        pugi::xml_document input;
        ReadXml(input, params, count, 1);
        V8Variant& outputParam = Param(params, count, 2);
        OutputDocument output;
        (driver.*operation)(input, output.doc);
        WriteXml(driver, outputParam, output.doc);
    });
}

bool GetDataKKT(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        V8Variant& outputParam = Param(params, count, 1);
        OutputDocument output;
        driver.GetDataKKT(output.doc);
        WriteXml(driver, outputParam, output.doc);
    });
}

bool OperationFN(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        // The operation type is one byte: only the low 8 bits of the host's integer count.
        const auto operationType =
            static_cast<std::uint8_t>(addin::ReadInteger(Param(params, count, 1)) & 0xFF);
        pugi::xml_document parameters;
        ReadXml(parameters, params, count, 2);
        driver.OperationFN(operationType, parameters);
    });
}

bool OpenShift(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunInOut(self, result, params, count, &CashRegisterAdapter::OpenShift);
}

bool CloseShift(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunInOut(self, result, params, count, &CashRegisterAdapter::CloseShift);
}

bool ProcessCheck(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        const bool electronically = addin::ReadBool(Param(params, count, 1));
        pugi::xml_document checkPackage;
        ReadXml(checkPackage, params, count, 2);
        V8Variant& outputParam = Param(params, count, 3);
        OutputDocument output;
        driver.ProcessCheck(electronically, checkPackage, output.doc, false);
        WriteXml(driver, outputParam, output.doc);
    });
}

bool ProcessCorrectionCheck(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        const bool electronically = addin::ReadBool(Param(params, count, 1));
        pugi::xml_document correctionPackage;
        ReadXml(correctionPackage, params, count, 2);
        V8Variant& outputParam = Param(params, count, 3);
        OutputDocument output;
        driver.ProcessCorrectionCheck(electronically, correctionPackage, output.doc);
        WriteXml(driver, outputParam, output.doc);
    });
}

bool PrintTextDocument(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunIn(self, result, params, count, &CashRegisterAdapter::PrintTextDocument);
}

bool CashInOutcome(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        pugi::xml_document input;
        ReadXml(input, params, count, 1);
        const Money amount = AmountFromHostNumber(addin::ReadNumber(Param(params, count, 2)));
        driver.CashInOutcome(input, amount);
    });
}

bool PrintXReport(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunIn(self, result, params, count, &CashRegisterAdapter::PrintXReport);
}

bool GetCurrentStatus(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunInOut(self, result, params, count, &CashRegisterAdapter::GetCurrentStatus);
}

bool ReportCurrentStatusOfSettlements(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunInOut(self, result, params, count, &CashRegisterAdapter::ReportCurrentStatusOfSettlements);
}

bool OpenCashDrawer(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunNoArg(self, result, params, count, &CashRegisterAdapter::OpenCashDrawer);
}

bool GetLineLength(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        V8Variant& lengthParam = Param(params, count, 1);
        const std::int64_t length = driver.GetLineLength();
        SetOutInt(driver, lengthParam, static_cast<std::int32_t>(length));
    });
}

bool PrintCheckCopy(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        driver.PrintCheckCopy(addin::ReadTextUtf8(Param(params, count, 1)));
    });
}

bool OpenSessionRegistrationKM(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunNoArg(self, result, params, count, &CashRegisterAdapter::OpenSessionRegistrationKM);
}

bool CloseSessionRegistrationKM(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunNoArg(self, result, params, count, &CashRegisterAdapter::CloseSessionRegistrationKM);
}

bool RequestKM(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    return RunInOut(self, result, params, count, &CashRegisterAdapter::RequestKM);
}

bool GetProcessingKMResult(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        V8Variant& outputParam = Param(params, count, 1);
        V8Variant& statusParam = Param(params, count, 2);
        OutputDocument output;
        std::int32_t requestStatus = 0;
        driver.GetProcessingKMResult(output.doc, requestStatus);
        WriteXml(driver, outputParam, output.doc);
        SetOutInt(driver, statusParam, requestStatus);
    });
}

bool ConfirmKM(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        const std::string requestGuid = addin::ReadTextUtf8(Param(params, count, 1));
        const std::int32_t confirmationType = addin::ReadInteger(Param(params, count, 2));
        driver.ConfirmKM(requestGuid, confirmationType);
    });
}

bool SetDateTime(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        driver.SetDateTime(addin::ReadTextUtf8(Param(params, count, 1)));
    });
}

bool GetDateTime(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        V8Variant& dateTimeParam = Param(params, count, 1);
        SetOutText(driver, dateTimeParam, driver.GetDateTime());
    });
}

bool GetDocumentInformation(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterAdapter& driver = Driver(self);
    return driver.EcrGuarded(result, [&] {
        SelectDevice(driver, params, count);
        const std::int32_t documentNumber = addin::ReadInteger(Param(params, count, 1));
        V8Variant& outputParam = Param(params, count, 2);
        OutputDocument output;
        driver.GetDocumentInformation(documentNumber, output.doc);
        WriteXml(driver, outputParam, output.doc);
    });
}

constexpr std::array kMethods{
    addin::ExportMeth{u"GetDataKKT", u"ПолучитьПараметрыККТ", 2, &GetDataKKT},
    addin::ExportMeth{u"OperationFN", u"ОперацияФН", 3, &OperationFN},
    addin::ExportMeth{u"OpenShift", u"ОткрытьСмену", 3, &OpenShift},
    addin::ExportMeth{u"CloseShift", u"ЗакрытьСмену", 3, &CloseShift},
    addin::ExportMeth{u"ProcessCheck", u"СформироватьЧек", 4, &ProcessCheck},
    addin::ExportMeth{u"ProcessCorrectionCheck", u"СформироватьЧекКоррекции", 4, &ProcessCorrectionCheck},
    addin::ExportMeth{u"PrintTextDocument", u"НапечататьТекстовыйДокумент", 2, &PrintTextDocument},
    addin::ExportMeth{u"CashInOutcome", u"НапечататьЧекВнесенияВыемки", 3, &CashInOutcome},
    addin::ExportMeth{u"PrintXReport", u"НапечататьОтчетБезГашения", 2, &PrintXReport},
    addin::ExportMeth{u"GetCurrentStatus", u"ПолучитьТекущееСостояние", 3, &GetCurrentStatus},
    addin::ExportMeth{u"ReportCurrentStatusOfSettlements", u"ОтчетОТекущемСостоянииРасчетов", 3,
                      &ReportCurrentStatusOfSettlements},
    addin::ExportMeth{u"OpenCashDrawer", u"ОткрытьДенежныйЯщик", 1, &OpenCashDrawer},
    addin::ExportMeth{u"GetLineLength", u"ПолучитьШиринуСтроки", 2, &GetLineLength},
    addin::ExportMeth{u"PrintCheckCopy", u"НапечататьКопиюЧека", 2, &PrintCheckCopy},
    addin::ExportMeth{u"OpenSessionRegistrationKM", u"ОткрытьСессиюРегистрацииКМ", 1,
                      &OpenSessionRegistrationKM},
    addin::ExportMeth{u"CloseSessionRegistrationKM", u"ЗакрытьСессиюРегистрацииКМ", 1,
                      &CloseSessionRegistrationKM},
    addin::ExportMeth{u"RequestKM", u"ЗапросКМ", 3, &RequestKM},
    addin::ExportMeth{u"GetProcessingKMResult", u"ПолучитьРезультатыЗапросаКМ", 3, &GetProcessingKMResult},
    addin::ExportMeth{u"ConfirmKM", u"ПодтвердитьКМ", 3, &ConfirmKM},
    addin::ExportMeth{u"SetDateTime", u"УстановитьДатуВремя", 2, &SetDateTime},
    addin::ExportMeth{u"GetDateTime", u"ПолучитьДатуВремя", 2, &GetDateTime},
    addin::ExportMeth{u"GetDocumentInformation", u"ПолучитьИнформациюПоДокументу", 3,
                      &GetDocumentInformation},
};

} // namespace

constinit const addin::ClassDeclarations CashRegisterAdapter::Decls{&CommonDriver::Decls, kMethods, {}, {}};

Money AmountFromHostNumber(double number) {
    const double units = number * static_cast<double>(Money::Scale);
    // 2^63 is exactly representable; anything at or beyond it does not fit the 64-bit count.
    constexpr double kLimit = 9223372036854775808.0;
    if (!std::isfinite(units) || units >= kLimit || units < -kLimit)
        throw std::runtime_error("Сумма вне допустимого диапазона");
    // The product carries binary noise (1234.56 * 10000 is 12345599.999...); rounding to the nearest count,
    // halves to even, gives the intended amount instead of one unit below it.
    double rounded = std::floor(units);
    const double fraction = units - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    if (rounded >= kLimit)
        throw std::runtime_error("Сумма вне допустимого диапазона");
    return Money::FromUnits(static_cast<std::int64_t>(rounded));
}

void CashRegisterAdapter::UpdateDriverInfo(DriverDescription& info) {
    CommonDriver::UpdateDriverInfo(info);
    info.EquipmentType = EquipmentKind::etECR;
    info.IntegrationComponent = false;
}

void CashRegisterAdapter::GetDataKKT(pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::OperationFN(std::uint8_t, const pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::OpenShift(const pugi::xml_document&, pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::CloseShift(const pugi::xml_document&, pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::ProcessCheck(bool, const pugi::xml_document&, pugi::xml_document&, bool) {
    ThrowAbstractError();
}
void CashRegisterAdapter::ProcessCorrectionCheck(bool, const pugi::xml_document&, pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::PrintTextDocument(const pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::CashInOutcome(const pugi::xml_document&, Money) {
    ThrowAbstractError();
}
void CashRegisterAdapter::PrintXReport(const pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::GetCurrentStatus(const pugi::xml_document&, pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::ReportCurrentStatusOfSettlements(const pugi::xml_document&, pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::OpenCashDrawer() {
    ThrowAbstractError();
}
std::int64_t CashRegisterAdapter::GetLineLength() {
    ThrowAbstractError();
}
void CashRegisterAdapter::PrintCheckCopy(const std::string&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::OpenSessionRegistrationKM() {
    ThrowAbstractError();
}
void CashRegisterAdapter::CloseSessionRegistrationKM() {
    ThrowAbstractError();
}
void CashRegisterAdapter::RequestKM(const pugi::xml_document&, pugi::xml_document&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::GetProcessingKMResult(pugi::xml_document&, std::int32_t&) {
    ThrowAbstractError();
}
void CashRegisterAdapter::ConfirmKM(const std::string&, std::int32_t) {
    ThrowAbstractError();
}
void CashRegisterAdapter::SetDateTime(const std::string&) {
    ThrowAbstractError();
}
std::string CashRegisterAdapter::GetDateTime() {
    ThrowAbstractError();
}
void CashRegisterAdapter::GetDocumentInformation(std::int32_t, pugi::xml_document&) {
    ThrowAbstractError();
}

} // namespace veltrano::driver
