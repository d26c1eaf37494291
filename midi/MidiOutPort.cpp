#include "midi/MidiOutPort.h"

#include "midi/MidiMessage.h"
#include "midi/MidiResult.h"
#include "midi/WinMidiApi.h"

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
    m_handle.Publish(opened);
    m_open = true;
    return kMidiOk;
}

int CMidiOutPort::ClosePort()
{
    if (!m_open)
        return kMidiOk;
    HMIDIOUT closing = m_handle.Withdraw();
    const int result = TakePlatformResult(MidiApi().outClose(closing));
    if (result != kMidiOk) {
        m_handle.Publish(closing);
        return result;
    }
    m_open = false;
    return kMidiOk;
}

MMRESULT CMidiOutPort::SendShortMessage(std::uint8_t status, std::uint8_t data1,
                                        std::uint8_t data2)
{
    const DWORD word = PackShortMessage(status, data1, data2);
    return m_handle.Borrow([word](HMIDIOUT handle) { return MidiApi().outShortMsg(handle, word); });
}

int CMidiOutPort::GetCurrentDeviceName(std::string& name)
{
    return GetDeviceName(m_deviceId, name);
}
