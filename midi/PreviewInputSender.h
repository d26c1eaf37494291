#pragma once
// Passes the MIDI input on to the preview output: each received message is rewritten by the
// forwarder's rules and what comes out is sent; program changes go to the window instead. Runs
// on the platform's input thread, inside midiInputLock, while the user-interface thread changes
// the forwarder's settings and closes and reopens the output: the forwarder is read in one atomic
// load, and the output port never hands the platform a handle it is closing. Nothing here waits,
// locks or allocates.

#include "midi/InputNoteLights.h"
#include "midi/MidiOutPort.h"
#include "midi/PreviewForwarder.h"
#include "midi/PreviewInputReceiver.h"
#include "midi/ProgramChangePoster.h"

class CPreviewInputSender final : public IPreviewInputReceiver {
public:
    // Both must outlive the sender, and input must be stopped before they go.
    CPreviewInputSender(const CPreviewForwarder& forwarder, CMidiOutPort& output,
                        CProgramChangePoster& programChanges, CInputNoteLights& lights)
        : m_forwarder(forwarder), m_output(output), m_programChanges(programChanges), m_lights(lights)
    {
    }
    CPreviewInputSender(const CPreviewInputSender&) = delete;
    CPreviewInputSender& operator=(const CPreviewInputSender&) = delete;

    // The send's result is ignored: sends never fail visibly.
    // The notes sent light their keys on the strip.
    void ForwardPreviewInput(MidiInputEvent event) override;
    // User-interface thread: a note played in the window, by the same rules and to the same
    // output as the keyboard's, its key already moved by the octave.
    void SendPlayed(MidiInputEvent event);

private:
    const CPreviewForwarder& m_forwarder;
    CMidiOutPort& m_output;
    CProgramChangePoster& m_programChanges;
    CInputNoteLights& m_lights;
};
