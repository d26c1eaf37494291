#include "tests/dialogs/SimulatedCard.h"

SimulatedCard::SimulatedCard()
    : m_library(LoadLibraryA("SFMAN32.DLL"))
    , m_control(FindSimControl())
{
    if (m_control)
        m_control->Reset();
}

SimulatedCard::~SimulatedCard()
{
    if (m_library)
        FreeLibrary(m_library);
}
