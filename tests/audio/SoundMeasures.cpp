#include "tests/audio/SoundMeasures.h"

#include <algorithm>
#include <cmath>

namespace {

// Normalised by the number of products, so that peaks at longer lags are not lowered.
double Correlation(const std::vector<float>& x, size_t lag, size_t count)
{
    double sum = 0.0;
    for (size_t n = 0; n < count; ++n)
        sum += static_cast<double>(x[n]) * x[n + lag];
    return sum / static_cast<double>(count);
}

// The peak's lag between samples, by a parabola through the values at lag-1, lag, lag+1.
double ParabolicPeak(double before, double at, double after, size_t lag)
{
    double bend = before - 2.0 * at + after;
    if (bend >= 0.0)
        return static_cast<double>(lag);
    return lag + 0.5 * (before - after) / bend;
}

// Climbs from lag to the nearest local maximum and places it between lags.
double PeakNear(const std::vector<float>& x, size_t lag, size_t count)
{
    auto r = [&](size_t l) { return Correlation(x, l, count); };
    while (lag > 1 && r(lag - 1) > r(lag))
        --lag;
    while (r(lag + 1) > r(lag))
        ++lag;
    return ParabolicPeak(r(lag - 1), r(lag), r(lag + 1), lag);
}

} // namespace

double AutocorrelationPitch(const std::vector<float>& samples, unsigned rate, double minHz, double maxHz)
{
    size_t minLag = static_cast<size_t>(std::max(2.0, rate / maxHz));
    size_t maxLag = static_cast<size_t>(rate / minHz);
    if (samples.size() < 4 * maxLag + 4)
        return 0.0;
    size_t count = samples.size() / 2;
    std::vector<double> r(maxLag + 2);
    double strongest = 0.0;
    for (size_t lag = minLag - 1; lag <= maxLag + 1; ++lag) {
        r[lag] = Correlation(samples, lag, count);
        if (lag >= minLag && lag <= maxLag)
            strongest = std::max(strongest, r[lag]);
    }
    if (strongest <= 0.0)
        return 0.0;
    for (size_t lag = minLag; lag <= maxLag; ++lag) {
        if (r[lag] < 0.9 * strongest || r[lag] < r[lag - 1] || r[lag] < r[lag + 1])
            continue;
        double period = ParabolicPeak(r[lag - 1], r[lag], r[lag + 1], lag);
        double multiple = std::floor((samples.size() / 4) / period);
        if (multiple < 2.0)
            return rate / period;
        size_t farLag = static_cast<size_t>(std::lround(multiple * period));
        // Room for the climb to the peak, which moves less than a period.
        size_t farCount = samples.size() - farLag - maxLag;
        return rate * multiple / PeakNear(samples, farLag, farCount);
    }
    return 0.0;
}

double Cents(double hz, double reference)
{
    return 1200.0 * std::log2(hz / reference);
}

double RmsDb(const std::vector<float>& samples, size_t begin, size_t end)
{
    if (end <= begin)
        return -200.0;
    double sum = 0.0;
    for (size_t n = begin; n < end; ++n)
        sum += static_cast<double>(samples[n]) * samples[n];
    double rms = std::sqrt(sum / static_cast<double>(end - begin));
    return rms > 0.0 ? 20.0 * std::log10(rms) : -200.0;
}

double ToneLevelDb(const std::vector<float>& samples, size_t begin, size_t end, unsigned rate, double hz)
{
    if (end <= begin + 1 || rate == 0)
        return -200.0;
    const double kPi = 3.14159265358979323846;
    const double length = static_cast<double>(end - begin);
    const double step = 2.0 * kPi * hz / rate;
    double re = 0.0, im = 0.0, weights = 0.0;
    for (size_t n = begin; n < end; ++n) {
        const double offset = static_cast<double>(n - begin);
        const double weight = 0.5 - 0.5 * std::cos(2.0 * kPi * offset / (length - 1.0));
        re += weight * samples[n] * std::cos(step * offset);
        im -= weight * samples[n] * std::sin(step * offset);
        weights += weight;
    }
    // A sine of amplitude A gives A / 2 times the sum of the weights; its RMS is A / sqrt(2).
    const double rms = std::sqrt(2.0) * std::hypot(re, im) / weights;
    return rms > 0.0 ? 20.0 * std::log10(rms) : -200.0;
}

SoundSpan FindSound(const std::vector<float>& samples, float threshold)
{
    SoundSpan span;
    auto loud = [threshold](float v) { return std::fabs(v) > threshold; };
    auto first = std::find_if(samples.begin(), samples.end(), loud);
    if (first == samples.end())
        return span;
    auto last = std::find_if(samples.rbegin(), samples.rend(), loud);
    span.begin = static_cast<size_t>(first - samples.begin());
    span.end = samples.size() - static_cast<size_t>(last - samples.rbegin());
    return span;
}

size_t LongestQuietRun(const std::vector<float>& samples, size_t begin, size_t end, float threshold)
{
    size_t longest = 0, run = 0;
    for (size_t n = begin; n < end; ++n) {
        run = std::fabs(samples[n]) <= threshold ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

LevelRange WindowLevels(const std::vector<float>& samples, size_t begin, size_t end, size_t window)
{
    LevelRange range {200.0, -200.0};
    for (size_t at = begin; at + window <= end; at += window) {
        double db = RmsDb(samples, at, at + window);
        range.lowestDb = std::min(range.lowestDb, db);
        range.highestDb = std::max(range.highestDb, db);
    }
    return range;
}

LevelRange ToneLevels(const std::vector<float>& samples, size_t begin, size_t end, unsigned rate, double hz,
                      size_t window)
{
    LevelRange range {200.0, -200.0};
    const size_t hop = std::max<size_t>(1, window / 2);
    for (size_t at = begin; at + window <= end; at += hop) {
        double db = ToneLevelDb(samples, at, at + window, rate, hz);
        range.lowestDb = std::min(range.lowestDb, db);
        range.highestDb = std::max(range.highestDb, db);
    }
    return range;
}
