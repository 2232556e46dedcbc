#include "kkt/operations/receipt_qr.h"

#include <cstdio>

namespace veltrano::kkt {

std::string ReceiptQRString(const moment::DateTime& now, Money total, std::string_view fnSerialNumber,
                            std::int64_t fiscalDocument, std::string_view fiscalSign, ReceiptKind kind) {
    char moment[32];
    std::snprintf(moment, sizeof moment, "%04d%02d%02dT%02d%02d%02d", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    // The amount always with a full stop: the tax authority's format, whatever the process's separator.
    return "t=" + std::string(moment) + "&s=" + total.Format2('.') + "&fn=" + std::string(fnSerialNumber) +
           "&i=" + std::to_string(fiscalDocument) + "&fp=" + std::string(fiscalSign) +
           "&n=" + std::to_string(static_cast<int>(kind));
}

} // namespace veltrano::kkt
