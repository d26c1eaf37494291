#include "midi/MidiResult.h"

const char* MidiErrorText(std::uint32_t platformResult)
{
    // The multimedia system's codes NOERROR, BADDEVICEID, ALLOCATED, INVALHANDLE, NOMEM,
    // INVALFLAG and INVALPARAM.
    switch (platformResult) {
    case 0: return "No Error";
    case 2: return "The specified device identifier is out of range";
    case 4: return "The specified resource is already allocated";
    case 5: return "The specified device handle is invalid";
    case 7: return "The system is unable to allocate or lock memory";
    case 10: return "The flags specified by dwFlags are invalid";
    case 11: return "The specified pointer or structure is invalid";
    default: return "Unknown Error";
    }
}
