// What a device instance remembers of the marking codes it checked in its open session.
#pragma once

#include <string>
#include <vector>

namespace veltrano::kkt {

// What ПодтвердитьКМ said of a request: type 0 puts its code into a receipt, type 1 keeps it out.
enum class MarkingConfirmation { None, IntoReceipt, NotIntoReceipt };

// One request as the device keeps it until a receipt uses its code or the session closes.
struct MarkingRequest {
    std::string Guid;    // as the request named it
    std::string GuidKey; // in upper case: how later calls find it
    std::string CodeKey; // MarkingCodeKey of the code
    bool Positive = false;
    bool StatusAcceptable = false;
    // The marking system's answer still travelling: the first query for it answers "not yet".
    bool AnswerOnItsWay = false;
    bool AnswerGiven = false;
    MarkingConfirmation Confirmed = MarkingConfirmation::None;
};

// The requests of one device instance, in the order they came.
class MarkingSession {
public:
    bool IsOpen() const { return open_; }
    void Open() { open_ = true; }
    // Drops every request that no receipt has used.
    void Close() {
        open_ = false;
        requests_.clear();
    }

    std::vector<MarkingRequest>& Requests() { return requests_; }
    const std::vector<MarkingRequest>& Requests() const { return requests_; }

private:
    bool open_ = false;
    std::vector<MarkingRequest> requests_;
};

} // namespace veltrano::kkt
