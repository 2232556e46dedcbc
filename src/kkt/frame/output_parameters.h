// The output parameters the host receives: OutputParameters of shifts and status, DocumentOutputParameters of
// receipts.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <initializer_list>

namespace veltrano::kkt {

class DeviceInstance;

// The groups of OutputParameters; the order is the bit order of OutputGroups.
enum class OutputParameter : std::uint8_t {
    opShiftNumber,
    opCheckNumber,
    opShiftClosingCheckNumber,
    opDateTime,
    opShiftState,
    opCountersOperationType1,
    opCountersOperationType2,
    opCountersOperationType3,
    opCountersOperationType4,
    opBacklogDocumentsCounter,
    opCashBalance,
    opBacklogDocumentFirstNumber,
    opBacklogDocumentFirstDateTime,
    opFNError,
    opFNOverflow,
    opFNFail,
    opFNValidityDate,
    opPayments,
    opCashInOutcome,
    opKKTShortState,
};

class OutputGroups {
public:
    constexpr OutputGroups() = default;
    constexpr OutputGroups(std::initializer_list<OutputParameter> members) {
        for (OutputParameter member : members)
            bits_ |= Bit(member);
    }
    constexpr bool Contains(OutputParameter member) const { return (bits_ & Bit(member)) != 0; }
    constexpr std::uint32_t Bits() const { return bits_; }

private:
    static constexpr std::uint32_t Bit(OutputParameter member) {
        return std::uint32_t{1} << static_cast<unsigned>(member);
    }
    std::uint32_t bits_ = 0;
};

// The groups each operation returns.
extern const OutputGroups OpenShiftOutput;
extern const OutputGroups CloseShiftOutput;
extern const OutputGroups CurrentStatusOutput;

// Adds the OutputParameters root with the requested groups to the output document. The document stays as it
// was when a value cannot be read.
void GetOutputParameters(DeviceInstance& instance, pugi::xml_document& output, OutputGroups groups);

// Adds the DocumentOutputParameters root, with a fresh fiscal sign, to the output document.
void GetDocumentOutputParameters(DeviceInstance& instance, pugi::xml_document& output);

} // namespace veltrano::kkt
