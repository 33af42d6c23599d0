#include "scan/modGlobal.h"

namespace ostrevan {

// The folder scan arrives with the file-system backend; until then a folder cannot be chosen.
void ModGlobalProcedures::RekursivFolder(std::string&, DocumentFileList&, std::int32_t&) {}
void ModGlobalProcedures::ReadReference(std::string&, DocumentFileList&, std::int32_t&) {}

} // namespace ostrevan
