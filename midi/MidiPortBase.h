#pragma once
// What the MIDI input and output ports share: the device id the next open uses, the last
// platform result and the device names of their direction. Device ids are 0 ... n-1 where n
// is the platform's current device count; nothing is cached, so every id is tested against
// the count at the moment of the call.

#include <cstdint>
#include <string>
#include <vector>

enum class MidiDirection { Input, Output };

class CMidiPortBase {
public:
    CMidiPortBase(const CMidiPortBase&) = delete;
    CMidiPortBase& operator=(const CMidiPortBase&) = delete;

    // Makes `names` exactly as long as the device list, entry i the product name of device i
    // ("%d  %s" with the id when `numbered`). A device whose capabilities cannot be read
    // gives an empty name, so positions stay device ids; the last result is left alone.
    void ListDeviceNames(std::vector<std::string>& names, bool numbered) const;

    // The product name of device `id`; 2 when id is out of range, 100 when the platform
    // cannot report it (its code in the last result). `name` changes only on success.
    int GetDeviceName(std::int32_t id, std::string& name);

    // The id of the device named exactly `name` (byte for byte); when several share it the
    // highest id wins. 3 when none has it, `id` then left as it was.
    int FindDevice(const std::string& name, std::int32_t& id);

    // The text of the last platform result.
    const char* GetErrorText() const;

    std::int32_t DeviceId() const { return m_deviceId; }
    std::uint32_t LastResult() const { return m_lastResult; }

protected:
    explicit CMidiPortBase(MidiDirection direction) : m_direction(direction) {}
    ~CMidiPortBase() = default;

    std::uint32_t DeviceCount() const;
    // 2 for an id not below the count (a negative id taken as unsigned is too); else the id
    // becomes the one the next open uses.
    int SelectId(std::uint32_t id);
    // Records a platform result and turns it into the port's result.
    int TakePlatformResult(std::uint32_t platformResult);

    std::int32_t m_deviceId = 0;
    std::uint32_t m_lastResult = 0;

private:
    std::uint32_t ReadProductName(std::uint32_t id, std::string& name) const;

    MidiDirection m_direction;
};
