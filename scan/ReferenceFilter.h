#pragma once

#include <string>
#include <string_view>

namespace ostrevan {

// Whether a reference's folder is the base folder or lies below it. Compared without regard
// to case, '\' and '/' alike, one trailing separator ignored on either side; C:\DATA2 is not
// inside C:\DATA. An empty reference folder, or an empty base folder, is never inside. The
// base is prepared once for the many references of a scan.
class BaseFolder final {
public:
    explicit BaseFolder(std::string_view folder);

    bool holds(std::string_view referenceFolder) const;

private:
    bool holdsComparable(std::string_view reference) const;

    bool m_empty;
    std::string m_comparable;
    // The folder as given without one trailing separator.
    std::string m_given;
};

} // namespace ostrevan
