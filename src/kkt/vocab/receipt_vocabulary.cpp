#include "kkt/vocab/receipt_vocabulary.h"

#include <stdexcept>

namespace veltrano::kkt {
namespace {

constexpr std::string_view BadInput = "Ошибка входных параметров команды";

constexpr std::string_view RateNames[] = {"НДС 20%",    "НДС 18%",    "НДС 10%",    "НДС 0%",    "БЕЗ НДС",
                                          "НДС 20/120", "НДС 18/118", "НДС 10/110", "НДС 5%",    "НДС 7%",
                                          "НДС 5/105",  "НДС 7/107",  "НДС 22%",    "НДС 22/122"};

constexpr std::string_view TaxationSystems[] = {"ОСН",  "УСН доход", "УСН доход - расход",
                                                "ЕНВД", "ЕСН",       "Патент"};

constexpr std::string_view CalculationMethods[] = {
    "ПРЕДОПЛАТА 100%", "ПРЕДОПЛАТА 100%",           "ПРЕДОПЛАТА",        "АВАНС",
    "ПОЛНЫЙ РАСЧЕТ",   "ЧАСТИЧНЫЙ РАСЧЕТ И КРЕДИТ", "ПЕРЕДАЧА В КРЕДИТ", "ОПЛАТА КРЕДИТА"};

constexpr std::string_view CalculationSubjects[] = {"ТОВАР",
                                                    "ТОВАР",
                                                    "ПОДАКЦИЗНЫЙ ТОВАР",
                                                    "РАБОТА",
                                                    "УСЛУГА",
                                                    "СТАВКА АЗАРТНОЙ ИГРЫ",
                                                    "ВЫИГРЫШ АЗАРТНОЙ ИГРЫ",
                                                    "ЛОТЕРЕЙНЫЙ БИЛЕТ",
                                                    "ВЫИГРЫШ ЛОТЕРЕИ",
                                                    "ПРЕДОСТАВЛЕНИЕ РИД",
                                                    "ПЛАТЕЖ",
                                                    "АГЕНТСКОЕ ВОЗНАГРАЖДЕНИЕ",
                                                    "СОСТАВНОЙ ПРЕДМЕТ РАСЧЕТА",
                                                    "ИНОЙ ПРЕДМЕТ РАСЧЕТА",
                                                    "ИМУЩЕСТВЕННОЕ ПРАВО",
                                                    "ВНЕРЕАЛИЗАЦИОННЫЙ ДОХОД",
                                                    "СТРАХОВЫЕ ВЗНОСЫ",
                                                    "ТОРГОВЫЙ СБОР",
                                                    "КУРОРТНЫЙ СБОР",
                                                    "ЗАЛОГ",
                                                    "РАСХОД",
                                                    "ВЗНОСЫ НА ОПС ИП",
                                                    "ВЗНОСЫ НА ОПС",
                                                    "ВЗНОСЫ НА ОМС ИП",
                                                    "ВЗНОСЫ НА ОМС",
                                                    "ВЗНОСЫ НА ОСС",
                                                    "ПЛАТЕЖ КАЗИНО"};

constexpr AgentAttribute Agents[] = {
    {"AgentData", "AgentOperation", "ОП. АГЕНТА"},
    {"AgentData", "AgentPhone", "ТЛФ. ПЛ. АГЕНТА"},
    {"AgentData", "PaymentProcessorPhone", "ТЛФ. ОП. ПР. ПЛАТЕЖА"},
    {"AgentData", "AcquirerOperatorPhone", "ТЛФ. ОП. ПЕРЕВОДА"},
    {"AgentData", "AcquirerOperatorName", "ОПЕРАТОР ПЕРЕВОДА"},
    {"AgentData", "AcquirerOperatorAddress", "АДР. ОП. ПЕРЕВОДА"},
    {"AgentData", "AcquirerOperatorINN", "ИНН ОП. ПЕРЕВОДА"},
    {"VendorData", "VendorPhone", "ТЛФ. ПОСТ."},
    {"VendorData", "VendorName", "ПОСТАВЩИК"},
    {"VendorData", "VendorINN", "ИНН ПОСТАВЩИКА"},
};

} // namespace

std::string_view VATRateName(int rateNumber) {
    if (rateNumber < 1 || rateNumber > static_cast<int>(std::size(RateNames)))
        throw std::runtime_error(std::string(BadInput));
    return RateNames[rateNumber - 1];
}

std::string_view TaxationSystemName(int code) {
    if (code < 0 || code >= static_cast<int>(std::size(TaxationSystems)))
        throw std::runtime_error(std::string(BadInput));
    return TaxationSystems[code];
}

std::string_view CalculationMethodName(std::uint8_t code) {
    return code < std::size(CalculationMethods) ? CalculationMethods[code] : CalculationMethods[0];
}

std::string_view CalculationSubjectName(std::uint8_t code) {
    return code < std::size(CalculationSubjects) ? CalculationSubjects[code] : CalculationSubjects[0];
}

std::span<const AgentAttribute> AgentAttributes() {
    return Agents;
}

} // namespace veltrano::kkt
