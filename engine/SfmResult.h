#pragma once
// Result codes of the SoundFont Management System and their texts. Needs no Windows header.

#include <cstdint>

// The 32-bit result of an engine operation: 0 for success, anything else a failure.
using SfmResult = std::int32_t;

// Engine codes that this program and the simulated engine name in code.
constexpr SfmResult kSfmSuccess = 0;
constexpr SfmResult kSfmBankIndexInvalid = 106;
constexpr SfmResult kSfmPathnameInvalid = 107;
constexpr SfmResult kSfmFormatInvalid = 108;
constexpr SfmResult kSfmPresetIndexInvalid = 109;
constexpr SfmResult kSfmAccessNotPermitted = 111;
constexpr SfmResult kSfmDeviceInvalid = 113;
constexpr SfmResult kSfmSupportInvalid = 114;
constexpr SfmResult kSfmSystemMemoryInsufficient = 204;
constexpr SfmResult kSfmSoundMemoryInsufficient = 205;
constexpr SfmResult kSfmLoadDllFailed = 401;
constexpr SfmResult kSfmGetEntrypointFail = 402;
constexpr SfmResult kSfmInterfaceNotSupported = 404;
constexpr SfmResult kSfmUndefinedError = 901;

// The fixed text of a code: "" for success, "Unknown Error" for a code the table lacks.
const char* SfmResultText(SfmResult code);
