// A SoundFont Management System whose interface request refuses every interface: the library
// a test puts in place to see the binding report the refusal.

#include "engine/SfmInterface.h"

namespace {

// Handed out with the refusal, so that a binding that used the table anyway would call a null
// slot and fail its test loudly.
const SfmOperationTable kEmptyTable = {};

SfmResult SFM_CALL RequestInterface(std::uint32_t, const SfmOperationTable** operations)
{
    if (operations)
        *operations = &kEmptyTable;
    return kSfmInterfaceNotSupported;
}

} // namespace

extern "C" {
extern const SfmEntry SFManager;
}
const SfmEntry SFManager = {&RequestInterface};
