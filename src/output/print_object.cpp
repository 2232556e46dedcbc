#include "output/print_object.h"

#include <utility>

namespace veltrano::output {

std::shared_ptr<TPrintObject> MakePrintObject(int numType, std::string text) {
    auto object = std::make_shared<TPrintObject>();
    object->NumType = numType;
    object->Text = std::move(text);
    return object;
}

const TPrintObjectPtr& TextLineObject() {
    static const TPrintObjectPtr textLine = std::make_shared<const TPrintObject>();
    return textLine;
}

} // namespace veltrano::output
