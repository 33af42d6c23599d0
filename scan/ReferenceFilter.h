#pragma once

#include <string_view>

namespace ostrevan {

// Whether a reference's folder is the base folder or lies below it. Compared without regard
// to case, '\' and '/' alike, one trailing separator ignored on either side; C:\DATA2 is not
// inside C:\DATA. An empty reference folder, or an empty base folder, is never inside.
bool liesInside(std::string_view referenceFolder, std::string_view baseFolder);

} // namespace ostrevan
