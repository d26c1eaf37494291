#include "midi/MidiThruPort.h"

CMidiThruPort::~CMidiThruPort()
{
    // Input must stop while this object is still whole: a callback arriving during the base
    // destructor would otherwise race with the change of the object's dynamic type.
    Shutdown();
}

void CMidiThruPort::SetOwner(IPreviewInputReceiver* owner)
{
    m_owner.store(owner);
}

void CMidiThruPort::OnMidiMessage(MidiInputEvent event)
{
    IPreviewInputReceiver* owner = m_owner.load();
    if (!owner)
        return;
    MidiInputEvent passed;
    passed.status = event.status;
    passed.data1 = event.data1;
    passed.data2 = event.data2;
    owner->ForwardPreviewInput(passed);
}
