#pragma once

#include "platform/ole/GObjectPtr.h"

#include <gsf/gsf-input.h>

namespace ostrevan {

// A view of input that is size bytes long (at least the size of input): the bytes past the
// end of input read as zeros. Reads of input that fail still fail.
GObjectPtr<GsfInput> zeroFilledInput(GsfInput* input, gsf_off_t size);

} // namespace ostrevan
