// A small program that tests copy into a folder of its own, beside whichever library the case
// needs, to see what the binding does where Tonewell would find SFMAN32.DLL: in the program's
// own folder.
//
// engine_probe [BANK PATH]: initialises a manager, loads PATH into BANK of device 0 when
// asked, and prints what it saw:
//   initialize <code> (<text>)
//   devices <count>
//   load <result> (<text>)            when asked to load
//   bank <device> <bank> <name>       for every loaded bank

#include "engine/SoundFontManager.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void PrintBanks(CSoundFontManager& manager, int device)
{
    manager.OpenDevice(device);
    for (int bank = 1; bank <= 127; ++bank) {
        std::string name;
        if (manager.QueryBank(bank) == bank && manager.GetBankName(bank, name) == 0)
            std::printf("bank %d %d %s\n", device, bank, name.c_str());
    }
    manager.CloseDevice();
}

} // namespace

int main(int argc, char** argv)
{
    CSoundFontManager manager;
    SfmResult initialized = manager.Initialize();
    std::printf("initialize %d (%s)\n", static_cast<int>(initialized), manager.GetErrorText());
    const int count = manager.GetDeviceCount();
    std::printf("devices %d\n", count);
    if (argc == 3) {
        manager.OpenDevice(0);
        int loaded = manager.LoadBank(std::atoi(argv[1]), argv[2]);
        std::printf("load %d (%s)\n", loaded, manager.GetErrorText());
        manager.CloseDevice();
    }
    for (int device = 0; device < count; ++device)
        PrintBanks(manager, device);
    return 0;
}
