#pragma once
// Previewing: the MIDI input passed on to the preview output, and the bank, program and note
// releases the user interface sends there. Owns the thru port, the preview output, the
// forwarder the input thread reads and the sender that runs on that thread: the input path
// the program ships is this one, wired here once.

#include "midi/InputNoteLights.h"
#include "midi/MidiOutPort.h"
#include "midi/MidiThruPort.h"
#include "midi/PreviewForwarder.h"
#include "midi/PreviewInputSender.h"
#include "midi/ProgramChangePoster.h"

#include <cstdint>
#include <functional>

class CPreviewSession {
public:
    // Told of each port that failed, in the order of the attempts: a format with one %s and
    // the text of the failure.
    using FailureReport = std::function<void(const char* format, const char* text)>;

    CPreviewSession();
    // Input first: no callback may reach the sender while the session's members go.
    ~CPreviewSession();
    CPreviewSession(const CPreviewSession&) = delete;
    CPreviewSession& operator=(const CPreviewSession&) = delete;

    bool IsPreviewing() const { return m_previewing; }
    // Opens input `inDevice` and starts it, opens the output and selects bank and program
    // there; a port that fails is reported and the others still tried.
    void Start(std::int32_t inDevice, int bank, int program, const FailureReport& report);
    // Stops and closes the input, releases the notes still held and closes the output.
    void Stop();

    std::int32_t OutDevice() const { return m_outDevice; }
    void SetOutDevice(std::int32_t device) { m_outDevice = device; }
    void SetChannel(std::int32_t channel);
    void SetOctave(std::int32_t octave);
    void SetPlayableSelected(bool playable);
    // Moves previewing to another output (closed and opened again when `reopen`) and channel.
    // The keyboard's note-offs for what is held follow the move: the held notes are released
    // where they sound, and keys struck meanwhile wait for the move.
    void Move(std::int32_t outDevice, bool reopen, std::int32_t channel, bool playable,
              const FailureReport& report);

    // Note-offs for every note on the preview channel, while previewing with an open output.
    void ReleaseAllNotes();
    // A note played in the window (the strip, the computer keyboard), already moved by the
    // octave: sent as the keyboard's notes are, on the preview channel while a playable sound
    // is selected, its release always. Nothing while not previewing.
    void PlayNote(std::uint8_t note, std::uint8_t velocity);
    void ReleaseNote(std::uint8_t note);
    void SendBankAndProgram(int bank, int program);

    CMidiThruPort& Input() { return m_input; }
    CMidiOutPort& Output() { return m_output; }
    // What the input thread hands each message to.
    IPreviewInputReceiver& Receiver() { return m_sender; }
    // Program changes from the input, which step the selection instead of being passed on.
    CProgramChangePoster& ProgramChanges() { return m_programChanges; }
    // The notes the keyboard sounds, for the strip to light.
    CInputNoteLights& InputNotes() { return m_inputNotes; }

private:
    void ReportPortFailure(const char* format, const CMidiPortBase& port, int result,
                           const FailureReport& report) const;

    CMidiThruPort m_input;
    CMidiOutPort m_output;
    std::int32_t m_outDevice = 0;
    std::int32_t m_channel = 0;
    bool m_previewing = false;
    // What the MIDI input thread reads of the preview state: the kind, channel and octave,
    // kept in one atomic word.
    CPreviewForwarder m_forwarder;
    CProgramChangePoster m_programChanges;
    CInputNoteLights m_inputNotes;
    CPreviewInputSender m_sender{m_forwarder, m_output, m_programChanges, m_inputNotes};
};
