#include "kkt/storage/fiscal_storage_fields.h"

namespace veltrano::kkt {
namespace {

constexpr int LastRegister = 300;

void AddRange(std::vector<std::string>& names, char bank, int first, int last) {
    for (int i = first; i <= last; ++i)
        names.push_back(bank + std::to_string(i));
}

std::vector<FNField> BuildFields() {
    std::vector<FNField> fields = {
        {"KKTNumber", "String", "1234567890123456"},
        {"KKTSerialNumber", "String", "12345678"},
        {"FNSerialNumber", "String", "9999000000000000"},
        {"OrganizationName", "String", "Центр тестирования учебного ККТ"},
        {"VATIN", "String", "9988776655"},
        {"AddressSettle", "String", "Адрес"},
        {"PlaceSettle", "String", "Место"},
        {"TaxVariant", "String", "0,1,2,3,4,5"},
        {"OFDOrganizationName", "String", ""},
        {"OFDVATIN", "String", ""},
        {"SenderEmail", "String", ""},
        {"FNSWebSite", "String", ""},
        {"OfflineMode", "Boolean", "false"},
        {"DataEncryption", "Boolean", "false"},
        {"ServiceSign", "Boolean", "false"},
        {"SaleExcisableGoods", "Boolean", "false"},
        {"SignOfGambling", "Boolean", "false"},
        {"SignOfLottery", "Boolean", "false"},
        {"SignOfAgent", "String", ""},
        {"BSOSing", "Boolean", "false"},
        {"CalcOnlineSign", "Boolean", "false"},
        {"PrinterAutomatic", "Boolean", "false"},
        {"AutomaticMode", "Boolean", "false"},
        {"AutomaticNumber", "String", ""},
        {"FFD", "Number", "2"},
        {"CashierName", "String", "Иванов И.И."},
        {"RegDocumentNumber", "String", "0"},
        {"RegDateTime", "Number", "0"},
        {"DayStart", "Number", "0"},
        {"DayCounter", "Number", "0"},
        {"FiscalDocCounter", "Number", "0"},
        {"TotalFiscalDocCounter", "Number", "0"},
        {"ReceiptNumber", "Number", "0"},
        {"TotalReceiptCounter", "Number", "0"},
        {"TotalDocCounter", "Number", "0"},
        {"DayState", "Number", "0"},
        {"FNLifeState", "Number", "0"},
    };
    std::vector<std::string> registers;
    AddRange(registers, 'M', 0, LastRegister);
    AddRange(registers, 'O', 0, LastRegister);
    for (std::string& name : registers)
        fields.push_back({std::move(name), "Number", "0"});
    return fields;
}

std::vector<std::string> BuildShiftCounters() {
    std::vector<std::string> names = {"FiscalDocCounter", "ReceiptNumber"};
    AddRange(names, 'M', 92, 115);
    AddRange(names, 'M', 241, 243);
    AddRange(names, 'M', 193, 212);
    names.insert(names.end(), {"M254", "M255", "O202", "O203"});
    AddRange(names, 'O', 144, 147);
    names.insert(names.end(), {"O153", "O154"});
    return names;
}

} // namespace

const std::vector<FNField>& DefaultFNFields() {
    static const std::vector<FNField> fields = BuildFields();
    return fields;
}

const std::vector<std::string>& ShiftCounterFields() {
    static const std::vector<std::string> names = BuildShiftCounters();
    return names;
}

} // namespace veltrano::kkt
