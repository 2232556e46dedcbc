// Registration, correction receipts and text documents through the host: the calls by their Russian names,
// the standard header of these documents and refusals that must leave both files as they were.
#pragma once

#include "host_kkt_fixture.h"

#include <pugixml.hpp>

#include <cstdint>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace veltrano::hosttest::documents {

using Lines = std::vector<std::string>;

inline Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline const Lines Separator{Blank(), Rule()};

struct HeaderData {
    std::string kktNumber = "1234567890123456";
    std::string inn = "9988776655";
    std::string shift{};
    std::string cashier{};
    std::string number{};
    std::string cashierInn{};
};

inline Lines Header(const HeaderData& data) {
    Lines lines{Centered("Учебный ККТ"), Line("РН ККТ:" + data.kktNumber, MaskedMoment),
                Line("ЗН ККТ:12345678", data.shift), Line("ИНН:" + data.inn, "ФН:9999000000000000"),
                Line("Кассир:" + data.cashier, data.number)};
    if (!data.cashierInn.empty())
        lines.push_back(Line("ИНН кассира:", data.cashierInn));
    lines.push_back(Line("Сайт ФНС:", "www.nalog.gov.ru"));
    return lines;
}

// The compact answer with its fresh fiscal sign masked.
inline std::string MaskedDocumentAnswer(const std::string& text) {
    static const std::regex sign("FiscalSign=\"0[0-9]{9}\"");
    return std::regex_replace(CompactAnswer(text), sign, "FiscalSign=\"##########\"");
}

class KktDocumentsHostTest : public KktHostTest {
protected:
    CallResult OperationFN(const std::string& id, std::int32_t type, const std::string& parameters) {
        return driver_->Call("ОперацияФН", {Value::Text(id), Value::Int(type), Value::Text(parameters)});
    }
    CallResult DataKKT(const std::string& id) {
        return driver_->Call("ПолучитьПараметрыККТ", {Value::Text(id), Value::Empty()});
    }
    CallResult Correction(const std::string& id, const std::string& package, bool electronically = false) {
        return driver_->Call("СформироватьЧекКоррекции", {Value::Text(id), Value::Bool(electronically),
                                                          Value::Text(package), Value::Empty()});
    }
    CallResult TextDocument(const std::string& id, const std::string& package) {
        return driver_->Call("НапечататьТекстовыйДокумент", {Value::Text(id), Value::Text(package)});
    }
    CallResult CheckCopy(const std::string& id, const std::string& number) {
        return driver_->Call("НапечататьКопиюЧека", {Value::Text(id), Value::Text(number)});
    }

    // The failing call's message and equipment code, and both files byte for byte as they were.
    void ExpectRefused(const std::function<CallResult()>& call, const std::string& message,
                       std::int32_t code = 1001) {
        const std::string storage = StorageBytes();
        const std::string output = OutputBytes();
        ASSERT_FALSE(storage.empty());
        const CallResult result = call();
        EXPECT_TRUE(result.returned);
        EXPECT_FALSE(result.result.boolean);
        EXPECT_EQ(driver_->LastError().code, code) << message;
        EXPECT_EQ(LastMessage(), message);
        EXPECT_EQ(StorageBytes(), storage) << message;
        EXPECT_EQ(OutputBytes(), output) << message;
    }
};

} // namespace veltrano::hosttest::documents
