#include "midi/PreviewInputSender.h"

void CPreviewInputSender::ForwardPreviewInput(MidiInputEvent event)
{
    if (m_programChanges.Offer(event))
        return;
    if (const std::optional<MidiShortMessage> message = m_forwarder.Rewrite(event)) {
        m_output.SendShortMessage(message->status, message->data1, message->data2);
        m_lights.Show(*message);
    }
}

void CPreviewInputSender::SendPlayed(MidiInputEvent event)
{
    if (const std::optional<MidiShortMessage> message = m_forwarder.RewritePlayed(event))
        m_output.SendShortMessage(message->status, message->data1, message->data2);
}
