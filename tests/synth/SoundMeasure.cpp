#include "tests/synth/SoundMeasure.h"

#include <algorithm>
#include <cmath>

std::vector<float> Channel(const std::vector<float>& stereo, int side)
{
    std::vector<float> mono(stereo.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = side < 0 ? 0.5f * (stereo[2 * i] + stereo[2 * i + 1]) : stereo[2 * i + static_cast<std::size_t>(side)];
    return mono;
}

std::vector<float> Span(const std::vector<float>& mono, double rate, double from, double to)
{
    const std::size_t begin = std::min(mono.size(), static_cast<std::size_t>(from * rate));
    const std::size_t end = std::min(mono.size(), static_cast<std::size_t>(to * rate));
    return std::vector<float>(mono.begin() + static_cast<std::ptrdiff_t>(begin), mono.begin() + static_cast<std::ptrdiff_t>(std::max(begin, end)));
}

namespace {

// Normalised autocorrelation at a lag over a fixed window.
double Correlation(const std::vector<float>& x, std::size_t lag, std::size_t window)
{
    double product = 0.0, energyA = 0.0, energyB = 0.0;
    for (std::size_t i = 0; i < window; ++i) {
        product += static_cast<double>(x[i]) * x[i + lag];
        energyA += static_cast<double>(x[i]) * x[i];
        energyB += static_cast<double>(x[i + lag]) * x[i + lag];
    }
    return energyA > 0.0 && energyB > 0.0 ? product / std::sqrt(energyA * energyB) : 0.0;
}

// The peak of the correlation nearest lag, moved to the best neighbour and refined by a
// parabola through it and its neighbours.
double RefinedPeak(const std::vector<float>& x, std::size_t lag, std::size_t window)
{
    while (lag + 2 < x.size() - window && Correlation(x, lag + 1, window) > Correlation(x, lag, window))
        ++lag;
    while (lag > 2 && Correlation(x, lag - 1, window) > Correlation(x, lag, window))
        --lag;
    const double before = Correlation(x, lag - 1, window), at = Correlation(x, lag, window),
                 after = Correlation(x, lag + 1, window);
    const double curvature = before - 2.0 * at + after;
    const double shift = curvature < 0.0 ? 0.5 * (before - after) / curvature : 0.0;
    return static_cast<double>(lag) + std::max(-1.0, std::min(1.0, shift));
}

} // namespace

double PitchHz(const std::vector<float>& mono, double rate, double minHz, double maxHz)
{
    const std::size_t shortest = static_cast<std::size_t>(rate / maxHz);
    const std::size_t longest = static_cast<std::size_t>(rate / minHz);
    if (mono.size() < 3 * longest)
        return 0.0;
    const std::size_t window = mono.size() / 2;
    // The first peak that comes close to the best: the period, not a multiple of it.
    std::vector<double> correlation(longest + 2, 0.0);
    double best = 0.0;
    for (std::size_t lag = std::max<std::size_t>(shortest, 2); lag <= longest; ++lag) {
        correlation[lag] = Correlation(mono, lag, window);
        best = std::max(best, correlation[lag]);
    }
    if (best < 0.5)
        return 0.0;
    // Past the central lobe: from the first lag that correlates negatively.
    std::size_t lag0 = std::max<std::size_t>(shortest, 2);
    while (lag0 <= longest && correlation[lag0] >= 0.0)
        ++lag0;
    std::size_t first = 0;
    for (std::size_t lag = lag0; lag <= longest && !first; ++lag) {
        if (correlation[lag] > 0.9 * best && correlation[lag] >= correlation[lag - 1] && correlation[lag] >= correlation[lag + 1])
            first = lag;
    }
    if (!first)
        return 0.0;
    const double period = RefinedPeak(mono, first, window);
    if (period < 2.0)
        return 0.0;
    // Many periods later the same error is a smaller part of the lag.
    const std::size_t periods = std::max<std::size_t>(1, static_cast<std::size_t>((mono.size() - window - 2) / period) - 1);
    const double far = RefinedPeak(mono, static_cast<std::size_t>(std::lround(period * periods)), window);
    return rate * static_cast<double>(periods) / far;
}

double CentsBetween(double hz, double referenceHz)
{
    return 1200.0 * std::log2(hz / referenceHz);
}

double RmsDb(const std::vector<float>& mono)
{
    double sum = 0.0;
    for (float x : mono)
        sum += static_cast<double>(x) * x;
    if (mono.empty() || sum <= 0.0)
        return -300.0;
    return 10.0 * std::log10(sum / static_cast<double>(mono.size()));
}

double PeakAbs(const std::vector<float>& samples)
{
    double peak = 0.0;
    for (float x : samples)
        peak = std::max(peak, static_cast<double>(std::fabs(x)));
    return peak;
}

std::vector<double> FrameLevelsDb(const std::vector<float>& mono, double rate, double frameSeconds)
{
    const std::size_t frame = std::max<std::size_t>(1, static_cast<std::size_t>(frameSeconds * rate));
    std::vector<double> levels;
    for (std::size_t at = 0; at + frame <= mono.size(); at += frame)
        levels.push_back(RmsDb(std::vector<float>(mono.begin() + static_cast<std::ptrdiff_t>(at),
                                                  mono.begin() + static_cast<std::ptrdiff_t>(at + frame))));
    return levels;
}

double TimeLevelFallsBelow(const std::vector<float>& mono, double rate, double from, double db, double frameSeconds)
{
    const std::vector<double> levels = FrameLevelsDb(Span(mono, rate, from, 1e9), rate, frameSeconds);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] < db)
            return from + (static_cast<double>(i) + 0.5) * frameSeconds;
    }
    return -1.0;
}
