// The payments of a receipt, the change and the checks that the receipt is paid in full.
#pragma once

#include "common/money.h"

#include <pugixml.hpp>

namespace veltrano::kkt {

struct ReceiptPayments {
    Money Cash;
    Money ElectronicPayment;
    Money PrePayment;
    Money PostPayment;
    Money Barter;
    // The five added up, and what the buyer gets back of it.
    Money Paid;
    Money Change;

    // The cash the receipt keeps: Cash less the change handed back.
    Money CashNetOfChange() const { return Cash - Change; }
};

// Reads the five payment types (each rounded to kopecks) and computes the change. Fails with a clear message
// for a negative payment, for payments below the total and for payments other than cash above the total
// (change comes only out of cash); the last two with code 3009.
ReceiptPayments ReadReceiptPayments(pugi::xml_node payments, Money total);

} // namespace veltrano::kkt
