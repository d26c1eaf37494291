#include "midi/MidiInPort.h"

#include "midi/MidiInputLock.h"
#include "midi/MidiResult.h"
#include "midi/WinMidiApi.h"

#include <mutex>

CMidiInPort::~CMidiInPort()
{
    Shutdown();
}

void CMidiInPort::Shutdown()
{
    StopInput();
    ClosePort();
}

void CMidiInPort::OnMidiMessage(MidiInputEvent)
{
}

int CMidiInPort::SelectDevice(std::int32_t id)
{
    return SelectId(static_cast<std::uint32_t>(id));
}

int CMidiInPort::OpenPort(std::int32_t id)
{
    int result = ClosePort();
    if (result != kMidiOk)
        return result;
    result = SelectDevice(id);
    if (result != kMidiOk)
        return result;
    HMIDIIN opened = nullptr;
    result = TakePlatformResult(MidiApi().inOpen(
        &opened, static_cast<UINT>(m_deviceId), reinterpret_cast<DWORD_PTR>(MidiInProc),
        reinterpret_cast<DWORD_PTR>(&m_listener), CALLBACK_FUNCTION));
    if (result != kMidiOk)
        return result;
    m_handle = opened;
    m_open = true;
    return kMidiOk;
}

int CMidiInPort::ClosePort()
{
    if (!m_open)
        return kMidiOk;
    const int result = TakePlatformResult(MidiApi().inClose(m_handle));
    if (result != kMidiOk)
        return result;
    m_handle = nullptr;
    m_open = false;
    return kMidiOk;
}

int CMidiInPort::StartInput()
{
    if (m_started)
        return kMidiOk;
    const int result = TakePlatformResult(MidiApi().inStart(m_handle));
    if (result != kMidiOk)
        return result;
    m_started = true;
    return kMidiOk;
}

int CMidiInPort::StopInput()
{
    if (!m_started)
        return kMidiOk;
    const int result = TakePlatformResult(MidiApi().inStop(m_handle));
    if (result != kMidiOk)
        return result;
    m_started = false;
    return kMidiOk;
}

void CALLBACK MidiInProc(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                         DWORD_PTR param2)
{
    std::lock_guard<CCriticalSection> hold(midiInputLock);
    if (message != MIM_DATA)
        return;
    const MidiInputEvent event =
        UnpackShortMessage(static_cast<std::uint32_t>(param1), static_cast<std::uint32_t>(param2));
    CMidiInPort* listener = *reinterpret_cast<CMidiInPort* const*>(instance);
    listener->OnMidiMessage(event);
}
