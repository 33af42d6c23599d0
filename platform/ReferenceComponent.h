#pragma once

#include "platform/Automation.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ostrevan {

class Label;

inline constexpr std::string_view kReferenceComponentProgId = "QZVSEObject.Application";

// The maker's document-object component ("QZVSEObject.Application").
class ReferenceComponent : public AutomationObject {
public:
    // Fills references with the full names of the document's links, in the order found.
    // All arguments by reference, as the component's interface has them; only references
    // is read back by the caller. Raises 53, 70 or 321 when the document cannot be read.
    virtual void GetReferences(std::string& documentPath, std::vector<std::string>& references,
                               Label& status, std::int32_t& flags, std::int32_t& options,
                               std::string& timeStamp, std::unique_ptr<AutomationObject>& context,
                               std::int32_t& result) = 0;
};

} // namespace ostrevan
