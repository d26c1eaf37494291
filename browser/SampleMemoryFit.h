#pragma once
// Whether a SoundFont's samples fit in a device's free sound memory, and the words for it on
// the meter and in the refusal. Needs no Windows header.

#include <cstdint>
#include <string>

// "6.0 MB", or "512.0 kB" up to one megabyte, as the meter writes amounts.
std::string MemoryAmountText(std::uint64_t bytes);

// The meter's line for a selected file: `freeText` (the device's "26.5 MB Free"), then what
// the file needs, and ": too large" when that is more than `freeBytes`.
std::string MeterTextWithNeed(const std::string& freeText, std::uint64_t freeBytes, std::uint64_t neededBytes);

// One message naming the file, what it needs and what is free.
std::string TooLargeMessage(const std::string& fileName, std::uint64_t neededBytes, std::uint64_t availableBytes);
