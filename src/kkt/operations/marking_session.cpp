#include "kkt/operations/marking_session.h"

#include "common/base64.h"
#include "common/text.h"
#include "common/xml.h"
#include "kkt/device_instance.h"
#include "kkt/operations/marking_code.h"
#include "kkt/operations/receipt_attributes.h"

#include <charconv>
#include <cstring>
#include <map>
#include <optional>
#include <stdexcept>
#include <unordered_set>
#include <variant>

namespace veltrano::kkt {
namespace {

// The signs a receipt prints under a position whose code was checked: positive or negative.
constexpr std::string_view PositiveSign = "[М+]";
constexpr std::string_view NegativeSign = "[М-]";

// The bits of the check result: checked by the fiscal storage, its answer positive, checked by the marking
// system, its answer positive.
constexpr int CheckedByStorage = 1;
constexpr int StoragePositive = 2;
constexpr int CheckedBySystem = 4;
constexpr int SystemPositive = 8;
// What the marking system says of the planned status.
constexpr int PlannedStatusCorrect = 1;
constexpr int PlannedStatusWrong = 2;

constexpr std::int32_t AnswerReceived = 0;
constexpr std::int32_t AnswerNotYetReceived = 1;
constexpr std::int32_t AnswerUnavailable = 2;

// Planned statuses of an item: 1 sold and 3 returned by the piece, 2 sold and 4 returned measured; 255 leaves
// the status as it is.
constexpr std::int64_t PieceSold = 1;
constexpr std::int64_t PieceReturned = 3;
constexpr std::int64_t MeasuredReturned = 4;
constexpr std::int64_t StatusUnchanged = 255;
// MeasureOfQuantity of goods sold by the piece.
constexpr std::int64_t Pieces = 0;
constexpr std::int64_t MaxMeasure = 255;

// Bounds that keep what a host sends to one session in memory of a sane size.
constexpr std::size_t MaxRequests = 10000;
constexpr std::size_t MaxGuidLength = 128;
constexpr std::size_t MaxCodeBytes = 4096;

[[noreturn]] void ThrowMalformed(const std::string& what) {
    throw std::runtime_error("Неверный запрос кода маркировки: " + what);
}

MarkingSession& OpenSession(DeviceInstance& instance) {
    if (!instance.Marking().IsOpen())
        throw std::runtime_error("Сессия регистрации кодов маркировки не открыта");
    return instance.Marking();
}

// GUIDs compare without regard to letter case and surrounding blanks.
std::string GuidKey(std::string_view guid) {
    return text::ToUpper(text::Trim(guid));
}

MarkingRequest* FindRequest(MarkingSession& session, std::string_view guid) {
    const std::string key = GuidKey(guid);
    for (MarkingRequest& request : session.Requests())
        if (request.GuidKey == key)
            return &request;
    return nullptr;
}

// A whole decimal number and nothing else between blanks.
std::optional<std::int64_t> StrictInteger(const std::string& text) {
    const std::string trimmed = text::Trim(text);
    std::int64_t value = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [stop, error] = std::from_chars(trimmed.data(), end, value);
    if (trimmed.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

struct RequestKM {
    std::string Guid;
    std::string Code;
    std::int64_t PlannedStatus = 0;
    std::int64_t MeasureOfQuantity = Pieces;
    bool WaitForResult = true;
};

RequestKM ReadRequest(const pugi::xml_document& input) {
    const pugi::xml_node root = input.document_element();
    if (std::strcmp(root.name(), "RequestKM") != 0)
        ThrowMalformed("нет элемента RequestKM");
    RequestKM read;

    read.Guid = text::Trim(ReadTextAttribute(root, "GUID"));
    if (read.Guid.empty())
        ThrowMalformed("не указан GUID");
    if (read.Guid.size() > MaxGuidLength)
        ThrowMalformed("GUID длиннее " + std::to_string(MaxGuidLength) + " знаков");

    const std::string base64Code = ReadTextAttribute(root, "MarkingCode");
    if (text::Trim(base64Code).empty())
        ThrowMalformed("не указан код маркировки MarkingCode");
    const std::optional<std::string> code = base64::Decode(base64Code);
    if (!code)
        throw std::runtime_error("Код маркировки MarkingCode не является текстом Base64");
    if (code->size() > MaxCodeBytes)
        ThrowMalformed("код маркировки длиннее " + std::to_string(MaxCodeBytes) + " байт");
    read.Code = *code;

    const std::optional<std::int64_t> planned = StrictInteger(ReadTextAttribute(root, "PlannedStatus"));
    if (!planned || ((*planned < PieceSold || *planned > MeasuredReturned) && *planned != StatusUnchanged))
        ThrowMalformed("PlannedStatus должен быть 1, 2, 3, 4 или 255");
    read.PlannedStatus = *planned;

    if (root.attribute("Quantity")) {
        const double quantity = ReadDecimalAttribute(root, "Quantity");
        if (!(quantity > 0))
            ThrowMalformed("Quantity должно быть числом больше 0");
    }
    if (root.attribute("MeasureOfQuantity")) {
        const std::optional<std::int64_t> measure =
            StrictInteger(ReadTextAttribute(root, "MeasureOfQuantity"));
        if (!measure || *measure < 0 || *measure > MaxMeasure)
            ThrowMalformed("MeasureOfQuantity должен быть целым числом от 0 до 255");
        read.MeasureOfQuantity = *measure;
    }
    if (root.attribute("WaitForResult")) {
        const std::string wait = text::Trim(ReadTextAttribute(root, "WaitForResult"));
        if (!text::EqualsNoCase(wait, "true") && !text::EqualsNoCase(wait, "false"))
            ThrowMalformed("WaitForResult должен быть true или false");
        read.WaitForResult = text::EqualsNoCase(wait, "true");
    }
    return read;
}

// Goods sold by the piece change status by the piece, measured goods by measure; "unchanged" suits both.
bool PlannedStatusFits(const RequestKM& request) {
    if (request.PlannedStatus == StatusUnchanged)
        return true;
    const bool byThePiece = request.PlannedStatus == PieceSold || request.PlannedStatus == PieceReturned;
    return byThePiece == (request.MeasureOfQuantity == Pieces);
}

} // namespace

void OpenMarkingSession(DeviceInstance& instance) {
    instance.Marking().Open();
}

void CloseMarkingSession(DeviceInstance& instance) {
    instance.Marking().Close();
}

void RequestMarkingCode(DeviceInstance& instance, const pugi::xml_document& input,
                        pugi::xml_document& output) {
    MarkingSession& session = OpenSession(instance);
    const RequestKM request = ReadRequest(input);
    if (FindRequest(session, request.Guid) != nullptr)
        throw std::runtime_error("Запрос кода маркировки с GUID " + request.Guid +
                                 " уже передан в этой сессии");
    if (session.Requests().size() >= MaxRequests)
        throw std::runtime_error("В сессии уже " + std::to_string(MaxRequests) +
                                 " запросов кодов маркировки: закройте сессию");

    // The storage's check: the code must read as a GS1 marking code. The marking system, simulated, agrees.
    MarkingRequest kept;
    kept.Guid = request.Guid;
    kept.GuidKey = GuidKey(request.Guid);
    kept.CodeKey = MarkingCodeKey(request.Code);
    kept.Positive = ParseMarkingCode(request.Code).has_value();
    kept.StatusAcceptable = kept.Positive && PlannedStatusFits(request);
    kept.AnswerOnItsWay = !request.WaitForResult;
    session.Requests().push_back(std::move(kept));

    pugi::xml_node result = output.append_child("RequestKMResult");
    result.append_attribute("Checking").set_value(xml::BoolText(true));
    result.append_attribute("CheckingResult").set_value(xml::BoolText(session.Requests().back().Positive));
}

std::int32_t GetMarkingCodeResult(DeviceInstance& instance, pugi::xml_document& output) {
    MarkingSession& session = OpenSession(instance);
    for (MarkingRequest& request : session.Requests()) {
        if (request.AnswerGiven)
            continue;
        if (request.AnswerOnItsWay) {
            request.AnswerOnItsWay = false;
            return AnswerNotYetReceived;
        }
        request.AnswerGiven = true;
        const int resultCode =
            CheckedByStorage | CheckedBySystem | (request.Positive ? StoragePositive | SystemPositive : 0);
        pugi::xml_node result = output.append_child("ProcessingKMResult");
        result.append_attribute("GUID").set_value(request.Guid.c_str());
        result.append_attribute("Result").set_value(xml::BoolText(request.Positive));
        result.append_attribute("ResultCode").set_value(std::to_string(resultCode).c_str());
        result.append_attribute("StatusInfo")
            .set_value(
                std::to_string(request.StatusAcceptable ? PlannedStatusCorrect : PlannedStatusWrong).c_str());
        result.append_attribute("HandleCode").set_value("0");
        return AnswerReceived;
    }
    return AnswerUnavailable;
}

void ConfirmMarkingCode(DeviceInstance& instance, std::string_view guid, std::int32_t confirmationType) {
    MarkingSession& session = OpenSession(instance);
    if (confirmationType != 0 && confirmationType != 1)
        throw std::runtime_error("Неверный тип подтверждения кода маркировки: " +
                                 std::to_string(confirmationType) + " (0 — код входит в чек, 1 — не входит)");
    MarkingRequest* request = FindRequest(session, guid);
    if (request == nullptr)
        throw std::runtime_error("Запрос кода маркировки с GUID " + text::Trim(guid) + " не найден в сессии");
    request->Confirmed =
        confirmationType == 0 ? MarkingConfirmation::IntoReceipt : MarkingConfirmation::NotIntoReceipt;
}

std::vector<std::string> SignMarkedPositions(const DeviceInstance& instance,
                                             std::vector<ReceiptItem>& items) {
    const std::vector<MarkingRequest>& requests = instance.Marking().Requests();
    // Equal codes keep the order they were requested in, so the earliest confirmation serves first.
    std::multimap<std::string, const MarkingRequest*> confirmed;
    for (const MarkingRequest& request : requests)
        if (request.Confirmed == MarkingConfirmation::IntoReceipt)
            confirmed.emplace(request.CodeKey, &request);

    std::vector<std::string> used;
    for (ReceiptItem& item : items) {
        FiscalString* position = std::get_if<FiscalString>(&item);
        if (position == nullptr || position->MarkingCode.empty())
            continue;
        const auto found = confirmed.lower_bound(position->MarkingCodeKey);
        if (found == confirmed.end() || found->first != position->MarkingCodeKey)
            continue;
        position->MarkingSign = found->second->Positive ? PositiveSign : NegativeSign;
        used.push_back(found->second->Guid);
        confirmed.erase(found);
    }
    return used;
}

void UseUpMarkingCodes(DeviceInstance& instance, const std::vector<std::string>& guids) {
    const std::unordered_set<std::string> used(guids.begin(), guids.end());
    std::erase_if(instance.Marking().Requests(),
                  [&](const MarkingRequest& request) { return used.contains(request.Guid); });
}

} // namespace veltrano::kkt
