#pragma once
// The simulated SoundFont Management System's operation table and test switches over one
// simulated card per process. SFMAN32.DLL exports them; native tests hand the table straight
// to the wrapper. Needs no Windows header.

#include "engine/SfmInterface.h"
#include "sim/SimControl.h"

#include <string>

// Where the card keeps its state between runs, asked for once, when the card first starts;
// without a source (or with an empty path) it keeps nothing. Set before the first call.
using SimStatePathSource = std::string (*)();
void SetSimStatePathSource(SimStatePathSource source);

const SfmOperationTable& SimOperations();
const SimControlTable& SimControls();
// The request behind the `SFManager` export: the table for interface 0x10001.
SfmResult SFM_CALL SimRequestInterface(std::uint32_t interfaceId, const SfmOperationTable** operations);
