#include "midi/MidiOutPort.h"

#include "midi/MidiMessage.h"
#include "midi/MidiResult.h"
#include "midi/WinMidiApi.h"

#include <thread>

CMidiOutPort::~CMidiOutPort()
{
    ClosePort();
}

int CMidiOutPort::SelectDevice(std::uint32_t id)
{
    return SelectId(id);
}

int CMidiOutPort::OpenPort(std::int32_t id)
{
    int result = SelectDevice(static_cast<std::uint32_t>(id));
    if (result != kMidiOk)
        return result;
    if (m_open) {
        result = ClosePort();
        if (result != kMidiOk)
            return result;
    }
    HMIDIOUT opened = nullptr;
    result = TakePlatformResult(MidiApi().outOpen(&opened, static_cast<UINT>(m_deviceId), 0, 0,
                                                  CALLBACK_NULL));
    if (result != kMidiOk)
        return result;
    m_handle.store(opened);
    m_open = true;
    return kMidiOk;
}

int CMidiOutPort::ClosePort()
{
    if (!m_open)
        return kMidiOk;
    // Sends that start from now on see no handle; then wait for those that already hold it.
    HMIDIOUT closing = m_handle.exchange(nullptr);
    while (m_sendsUnderWay.load() != 0)
        std::this_thread::yield();
    const int result = TakePlatformResult(MidiApi().outClose(closing));
    if (result != kMidiOk) {
        m_handle.store(closing);
        return result;
    }
    m_open = false;
    return kMidiOk;
}

MMRESULT CMidiOutPort::SendShortMessage(std::uint8_t status, std::uint8_t data1,
                                        std::uint8_t data2)
{
    // Counted before the handle is read, so a close that took the handle away either is seen
    // here (no handle) or waits for this send to end.
    m_sendsUnderWay.fetch_add(1);
    const MMRESULT result =
        MidiApi().outShortMsg(m_handle.load(), PackShortMessage(status, data1, data2));
    m_sendsUnderWay.fetch_sub(1);
    return result;
}

int CMidiOutPort::GetCurrentDeviceName(std::string& name)
{
    return GetDeviceName(m_deviceId, name);
}
