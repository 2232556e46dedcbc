// The steps every document of the emulated cash register shares: the cashier, the shift checks, the common
// header, the closing separator, finishing, saving and printing.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string_view>

namespace veltrano::kkt {

class DeviceInstance;

// The tax authority's web site, printed in every header and returned with every receipt.
inline constexpr std::string_view FNSWebSiteDomain = "www.nalog.gov.ru";

// Print switch value that keeps a document off the paper.
inline constexpr std::uint8_t PrintingSwitchedOff = 2;

// Takes CashierName and CashierINN from the input's Parameters element; an input without one keeps the
// previous cashier.
void ReadCashier(DeviceInstance& instance, const pugi::xml_document& input);

// Fails unless a shift is open and not older than 24 hours.
void CheckShiftOpen(DeviceInstance& instance);
// True when the shift started more than 24 hours ago; an open shift is then marked expired (in memory).
bool CheckShiftExpired(DeviceInstance& instance);

// The common header; only receipts set the receipt flag (the receipt's number in the shift is shown).
void PrintHeader(DeviceInstance& instance, bool receiptFlag);
// The fiscal document number and a fresh fiscal sign: "ФД:" on the left, "ФП:" on the right.
void PrintFiscalSignLine(DeviceInstance& instance);
// A blank line and a line of "=".
void PrintSeparator(DeviceInstance& instance);

// Hands the laid-out document to the output file and the preview under the current TotalDocCounter.
void FinishDocument(DeviceInstance& instance, std::string_view documentKind);
// Saves the fiscal storage file; a failure fails the operation before anything is printed.
void SaveFN(DeviceInstance& instance);
// Prints the document with the final cut unless its print switch keeps it off the paper.
void PrintFinishedDocument(DeviceInstance& instance, std::uint8_t printSwitch);

} // namespace veltrano::kkt
