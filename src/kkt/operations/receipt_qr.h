// The text of the QR code on a receipt, by which the buyer checks it with the tax authority.
#pragma once

#include "common/moment.h"
#include "common/money.h"
#include "kkt/operations/receipt_package.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrano::kkt {

// "t=20240131T154502&s=120.50&fn=<storage number>&i=<fiscal document>&fp=<fiscal sign>&n=<operation type>".
std::string ReceiptQRString(const moment::DateTime& now, Money total, std::string_view fnSerialNumber,
                            std::int64_t fiscalDocument, std::string_view fiscalSign, ReceiptKind kind);

} // namespace veltrano::kkt
