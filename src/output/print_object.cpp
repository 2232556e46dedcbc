#include "output/print_object.h"

#include <utility>

namespace veltrano::output {

std::shared_ptr<PrintObject> MakePrintObject(int numType, std::string text) {
    auto object = std::make_shared<PrintObject>();
    object->NumType = numType;
    object->Text = std::move(text);
    return object;
}

const PrintObjectPtr& TextLineObject() {
    static const PrintObjectPtr textLine = std::make_shared<const PrintObject>();
    return textLine;
}

} // namespace veltrano::output
