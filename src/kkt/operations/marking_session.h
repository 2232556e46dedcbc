// Marked goods: the session in which a device checks marking codes before it sells them, the fiscal storage's
// check of each code, the marking system's answer (simulated: a training device has no network) and the
// confirmation that puts a checked code into the next receipt.
#pragma once

#include "kkt/operations/receipt_positions.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::kkt {

class DeviceInstance;

// ОткрытьСессиюРегистрацииКМ: opens the session; one already open stays as it is, with its requests.
void OpenMarkingSession(DeviceInstance& instance);
// ЗакрытьСессиюРегистрацииКМ: closes the session and drops what no receipt used; nothing to do when none is
// open.
void CloseMarkingSession(DeviceInstance& instance);

// ЗапросКМ: checks the code of <RequestKM GUID=".." MarkingCode="(Base64)" PlannedStatus=".." Quantity=".."
// MeasureOfQuantity=".." WaitForResult=".."/> (the last three may be left out: 1, 0 and true) and answers
// <RequestKMResult Checking="true" CheckingResult=".."/>: whether the code parsed. Fails without an open
// session, for a request that is malformed or repeats a GUID of the session, and for a code that is not
// Base64.
void RequestMarkingCode(DeviceInstance& instance, const pugi::xml_document& input,
                        pugi::xml_document& output);

// ПолучитьРезультатыЗапросаКМ: the marking system's answer to the oldest request not yet answered,
// <ProcessingKMResult GUID=".." Result=".." ResultCode=".." StatusInfo=".." HandleCode="0"/>, and the request
// status 0. The status is 1 (the output left empty) while the answer to a request sent without waiting is on
// its way, and 2 when no request waits for an answer. Fails without an open session.
std::int32_t GetMarkingCodeResult(DeviceInstance& instance, pugi::xml_document& output);

// ПодтвердитьКМ: 0 puts the request's code into the next receipt that sells it, 1 keeps it out. Fails without
// an open session, for a GUID the session does not know and for any other confirmation type.
void ConfirmMarkingCode(DeviceInstance& instance, std::string_view guid, std::int32_t confirmationType);

// Gives each marked position of a receipt its sign: "[М+]" or "[М-]" when a code confirmed for the receipt
// is the position's (each confirmed code serves one position), "[M]" when none is. Returns the GUIDs of the
// codes used, for UseUpMarkingCodes once the receipt is counted.
std::vector<std::string> SignMarkedPositions(const DeviceInstance& instance, std::vector<ReceiptItem>& items);
void UseUpMarkingCodes(DeviceInstance& instance, const std::vector<std::string>& guids);

} // namespace veltrano::kkt
