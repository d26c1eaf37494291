#include "bench/DenseSong.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

std::uint64_t Tick(double seconds)
{
    return static_cast<std::uint64_t>(seconds * 2 * kDenseSongTicksPerQuarter);
}

std::uint32_t Message(int status, int d1, int d2 = 0)
{
    return static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(d1) << 8 | static_cast<std::uint32_t>(d2) << 16;
}

} // namespace

SmfBytes DenseSong(const DenseSongShape& shape)
{
    const double seconds = shape.seconds;
    const double holdSeconds = shape.holdSeconds;
    SmfWriter writer(kDenseSongTicksPerQuarter, 1);
    const int programs[16] = {0, 4, 11, 19, 24, 33, 40, 48, 56, 65, 73, 81, 88, 52, 61, 0};
    std::uint32_t seed = 12345;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(range));
    };
    for (int channel = 0; channel < 16; ++channel) {
        SmfTrack& track = writer.AddTrack();
        std::vector<std::pair<std::uint64_t, std::uint32_t>> events;
        const bool drums = channel == 9;
        if (shape.bank != 0)
            events.push_back({0, Message(0xB0 | channel, 0, shape.bank)});
        events.push_back({0, Message(0xC0 | channel, programs[channel])});
        events.push_back({0, Message(0xB0 | channel, 10, channel * 8)});
        const double step = (drums ? 0.125 : 0.1) / shape.density;
        for (double t = 0.01 * channel; t < seconds - holdSeconds - 0.1; t += step) {
            const int key = drums ? 35 + next(47) : 36 + next(48);
            events.push_back({Tick(t), Message(0x90 | channel, key, 60 + next(60))});
            events.push_back({Tick(t + holdSeconds), Message(0x80 | channel, key, 64)});
            if (!drums && next(4) == 0) {
                events.push_back({Tick(t), Message(0xB0 | channel, 7, 80 + next(47))});
                events.push_back({Tick(t), Message(0xB0 | channel, 11, 90 + next(37))});
                events.push_back({Tick(t), Message(0xB0 | channel, 1, next(128))});
                events.push_back({Tick(t), Message(0xE0 | channel, 0, 56 + next(16))});
            }
        }
        std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [tick, message] : events)
            track.Message(tick, message);
        track.EndOfTrack(Tick(seconds));
    }
    return writer.File();
}
