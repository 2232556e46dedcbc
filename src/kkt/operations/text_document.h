// Text documents: free lines, barcodes, QR codes and graphic text outside receipts.
#pragma once

#include <pugixml.hpp>

namespace veltrano::kkt {

class DeviceInstance;

// Counts as a document but needs no shift and changes no register. Always printed, whatever the print
// switches say; the paper is cut at the end unless the document's NoCut says otherwise.
void PrintTextDocument(DeviceInstance& instance, const pugi::xml_document& package);

// The document's NoCut: "True" in any letter case; anything else, or none, is false.
bool ReadNoCut(pugi::xml_node document);

} // namespace veltrano::kkt
