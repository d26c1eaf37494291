// Latency inside the program on the software card: from a note-on entering the preview path
// (sent to the MIDI output of "Software Synth 1" through the program's MIDI port, as the
// preview sends it) to the first non-silent sample of it in the buffer the card's audio output
// hands to the audio API, for each API:
//
//     bench_soft_latency [notes, default 40] [request, e.g. wasapi:10]
//
// Without a request it runs itself once for each API at the card's buffer (WASAPI shared
// mode, DirectSound, waveOut), each in a process of its own with a card of its own. The card plays
// a piano loaded into the preview bank as the window loads it, its reverb and chorus sends at
// 0 so that the output between notes is silence. Each note-on comes at a random moment of
// the audio period; the card's watch stamps the handing of the buffer that holds the first
// sample 16-bit sound would not write as zero (audio/FirstSoundWatch.h). Needs an audio
// device: under Wine, the file sink of tools/wine-sound.sh.
#include "bench/SoftCardSession.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kRequests[] = {"wasapi", "directsound", "waveout"};
constexpr int kKey = 60;
constexpr DWORD kGiveUpMs = 1000;

bool LoadPiano(CSoftCardSession& session)
{
    const PreviewBank bank {session.Device(), 127, 127};
    CardResult loaded = session.Card().LoadPreviewPreset(bank, 0, 0, kFluidFont);
    if (!loaded.Ok()) {
        std::printf("  the piano could not be loaded: %s\n", loaded.result.Text());
        return false;
    }
    CMidiOutPort& out = session.Output();
    out.SendShortMessage(0xB0, 0, 127);
    out.SendShortMessage(0xC0, 127, 0);
    out.SendShortMessage(0xB0, 91, 0); // reverb send
    out.SendShortMessage(0xB0, 93, 0); // chorus send
    return true;
}

// Until every voice has stopped, and a little after.
void WaitForSilence(CSoftCardSession& session)
{
    for (DWORD waited = 0; waited < kGiveUpMs && session.Figures().voices > 0; waited += 2)
        Sleep(2);
    Sleep(20);
}

// One note: the time from its note-on to the buffer holding its first sound; < 0 when none came.
double OneNote(CSoftCardSession& session)
{
    session.Control().WatchFirstSound();
    const std::int64_t sent = SteadyNs();
    session.Output().SendShortMessage(0x90, kKey, 100);
    std::int64_t heard = 0;
    for (DWORD waited = 0; waited < kGiveUpMs && (heard = session.Figures().firstSoundNs) == 0; ++waited)
        Sleep(1);
    session.Output().SendShortMessage(0x80, kKey, 0);
    session.Output().SendShortMessage(0xB0, 120, 0); // all sound off
    WaitForSilence(session);
    return heard ? MsBetween(sent, heard) : -1.0;
}

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

int MeasureOne(const std::string& request, int notes)
{
    CSoftCardSession session(request);
    if (!session.Problem().empty()) {
        std::printf("%-12s could not play: %s\n", request.c_str(), session.Problem().c_str());
        return 1;
    }
    if (!LoadPiano(session))
        return 1;
    WaitForSilence(session);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(0, 30);
    std::vector<double> ms;
    int lost = 0;
    const std::uint64_t buffersBefore = session.Figures().buffers;
    const std::int64_t startNs = SteadyNs();
    for (int note = 0; note < notes; ++note) {
        Sleep(static_cast<DWORD>(pause(random)));
        double latency = OneNote(session);
        if (latency < 0)
            ++lost;
        else
            ms.push_back(latency);
    }
    const SoftCardAudioFigures figures = session.Figures();
    const double msPerBuffer =
        MsBetween(startNs, SteadyNs()) / static_cast<double>(std::max<std::uint64_t>(figures.buffers - buffersBefore, 1));
    std::printf("%-12s %s\n", request.c_str(), session.DescribeAudio().c_str());
    if (ms.empty()) {
        std::printf("             no note was heard\n");
        return 1;
    }
    std::printf("             note-on to first sound handed to the API, %zu notes: median %.2f ms, "
                "95%% %.2f ms, max %.2f ms, min %.2f ms%s\n",
        ms.size(), Percentile(ms, 0.5), Percentile(ms, 0.95), Percentile(ms, 1.0), Percentile(ms, 0.0),
        lost ? "  (some notes never sounded)" : "");
    std::printf("             buffers %llu (one every %.1f ms while measuring), late %llu, fill-to-queue mean %.0f us, "
                "max %.0f us\n",
        static_cast<unsigned long long>(figures.buffers), msPerBuffer,
        static_cast<unsigned long long>(figures.lateBuffers), figures.fillToQueueMeanUs, figures.fillToQueueMaxUs);
    return lost ? 1 : 0;
}

// Runs this program again for one request; its output goes where this one's goes.
int RunChild(const std::string& request, int notes)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + std::to_wstring(notes) + L" " +
        std::wstring(request.begin(), request.end());
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    std::fflush(stdout);
    if (!CreateProcessW(self, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("%-12s could not be run (error %lu)\n", request.c_str(), GetLastError());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

} // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    int notes = argc > 1 ? std::atoi(argv[1]) : 40;
    if (notes <= 0)
        notes = 40;
    if (argc > 2)
        return MeasureOne(argv[2], notes);
    std::printf("software card: note-on into the preview path to its first sound handed to the audio API, "
                "%d notes an API\n", notes);
    int failures = 0;
    for (const char* request : kRequests)
        failures += RunChild(request, notes) != 0;
    return failures ? 1 : 0;
}
