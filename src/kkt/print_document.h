// Finishing a document for the paper: the last step of every document-producing operation, after the document
// was shown and the fiscal storage saved.
#pragma once

namespace veltrano::kkt {

class DeviceInstance;

// Prints the instance's receipt buffer on its printer connection; does nothing for the virtual device (no
// connection). A printer failure is raised after the document has been counted and saved.
void PrintDocument(DeviceInstance& instance, bool noCut);

} // namespace veltrano::kkt
