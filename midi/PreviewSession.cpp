#include "midi/PreviewSession.h"

#include "midi/MidiResult.h"

CPreviewSession::CPreviewSession()
{
    m_input.SetOwner(&m_sender);
}

CPreviewSession::~CPreviewSession()
{
    m_input.SetOwner(nullptr);
}

void CPreviewSession::ReportPortFailure(const char* format, const CMidiPortBase& port, int result,
                                        const FailureReport& report) const
{
    // A refused device id never reached the platform, so the port's last result is an older
    // one: name the refusal itself.
    report(format, result == kMidiBadDeviceId ? MidiErrorText(kMidiBadDeviceId) : port.GetErrorText());
}

void CPreviewSession::Start(std::int32_t inDevice, int bank, int program, const FailureReport& report)
{
    if (m_previewing)
        return;
    if (int result = m_input.OpenPort(inDevice); result != 0)
        ReportPortFailure("Couldn't open midi device (%s)", m_input, result, report);
    if (int result = m_input.StartInput(); result != 0)
        ReportPortFailure("Couldn't start midi input (%s)", m_input, result, report);
    if (int result = m_output.OpenPort(m_outDevice); result != 0)
        ReportPortFailure("Couldn't open midi device (%s)", m_output, result, report);
    SendBankAndProgram(bank, program);
    m_previewing = true;
}

void CPreviewSession::Stop()
{
    if (!m_previewing)
        return;
    m_input.StopInput();
    m_input.ClosePort();
    // No note-off can come now for the keys still held.
    ReleaseAllNotes();
    m_output.ClosePort();
    m_previewing = false;
}

void CPreviewSession::SetChannel(std::int32_t channel)
{
    m_channel = channel;
    m_forwarder.SetChannel(channel);
}

void CPreviewSession::SetOctave(std::int32_t octave)
{
    m_forwarder.SetOctave(octave);
}

void CPreviewSession::SetPlayableSelected(bool playable)
{
    m_forwarder.SetPlayableSelected(playable);
}

void CPreviewSession::Move(std::int32_t outDevice, bool reopen, std::int32_t channel, bool playable,
                           const FailureReport& report)
{
    const bool moving = outDevice != m_outDevice || channel != m_channel;
    if (moving) {
        m_forwarder.SetPlayableSelected(false);
        ReleaseAllNotes();
    }
    m_outDevice = outDevice;
    int result = 0;
    if (reopen) {
        m_output.ClosePort();
        result = m_output.OpenPort(m_outDevice);
    }
    SetChannel(channel);
    m_forwarder.SetPlayableSelected(playable);
    if (result != 0)
        ReportPortFailure("Couldn't open midi device (%s)", m_output, result, report);
}

void CPreviewSession::ReleaseAllNotes()
{
    m_inputNotes.Clear();
    if (!m_previewing || !m_output.IsOpen())
        return;
    std::uint8_t status = ChannelStatus(kNoteOff, m_channel);
    for (int note = 0; note <= kHighestDataByte; ++note)
        m_output.SendShortMessage(status, static_cast<std::uint8_t>(note), 0);
}

void CPreviewSession::PlayNote(std::uint8_t note, std::uint8_t velocity)
{
    if (!m_previewing)
        return;
    MidiInputEvent event;
    event.status = kNoteOn;
    event.data1 = note;
    event.data2 = velocity;
    m_sender.SendPlayed(event);
}

void CPreviewSession::ReleaseNote(std::uint8_t note)
{
    if (!m_previewing)
        return;
    MidiInputEvent event;
    event.status = kNoteOff;
    event.data1 = note;
    m_sender.SendPlayed(event);
}

void CPreviewSession::SendBankAndProgram(int bank, int program)
{
    m_output.SendShortMessage(ChannelStatus(kControlChange, m_channel), kBankSelectController,
                              static_cast<std::uint8_t>(bank));
    m_output.SendShortMessage(ChannelStatus(kProgramChange, m_channel), static_cast<std::uint8_t>(program), 0);
}
