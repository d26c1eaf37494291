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
    CSfmDevice open = manager.Open(device);
    for (int bank = 1; bank <= 127; ++bank) {
        std::string name;
        if (open.IsBankLoaded(bank) && open.BankName(bank, name).Ok())
            std::printf("bank %d %d %s\n", device, bank, name.c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    CSoundFontManager manager;
    EngineResult initialized = manager.Initialize();
    std::printf("initialize %d (%s)\n", static_cast<int>(initialized.Code()), initialized.Text());
    const int count = manager.GetDeviceCount();
    std::printf("devices %d\n", count);
    if (argc == 3) {
        CSfmDevice open = manager.Open(0);
        EngineResult loaded = open.LoadBank(std::atoi(argv[1]), argv[2]);
        std::printf("load %d (%s)\n", loaded.Failed() ? 1 : 0, loaded.Text());
    }
    for (int device = 0; device < count; ++device)
        PrintBanks(manager, device);
    return 0;
}
