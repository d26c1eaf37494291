#include "tests/synth/SoundMeasure.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

constexpr double kPi = 3.14159265358979323846;
// YIN's threshold: the first dip of the normalised difference below it is the period.
constexpr double kYinThreshold = 0.15;

// In place, radix 2; the size is a power of two.
void Fft(std::vector<std::complex<double>>& data)
{
    const std::size_t n = data.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2 * kPi / static_cast<double>(length));
        for (std::size_t start = 0; start < n; start += length) {
            std::complex<double> twiddle = 1;
            for (std::size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = data[start + k];
                const std::complex<double> odd = data[start + k + length / 2] * twiddle;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                twiddle *= step;
            }
        }
    }
}

std::vector<double> NormalisedDifference(const Samples& samples, std::size_t maxLag)
{
    const std::size_t window = samples.size() - maxLag;
    std::vector<double> difference(maxLag + 1, 0.0);
    for (std::size_t lag = 1; lag <= maxLag; ++lag) {
        double sum = 0;
        for (std::size_t i = 0; i < window; ++i) {
            const double d = static_cast<double>(samples[i]) - samples[i + lag];
            sum += d * d;
        }
        difference[lag] = sum;
    }
    std::vector<double> normalised(maxLag + 1, 1.0);
    double running = 0;
    for (std::size_t lag = 1; lag <= maxLag; ++lag) {
        running += difference[lag];
        normalised[lag] = running > 0 ? difference[lag] * static_cast<double>(lag) / running : 1.0;
    }
    return normalised;
}

double ParabolaShift(double left, double middle, double right)
{
    const double curvature = left - 2 * middle + right;
    return curvature > 0 ? 0.5 * (left - right) / curvature : 0;
}

double DifferenceAt(const Samples& samples, std::size_t lag, std::size_t window)
{
    double sum = 0;
    for (std::size_t i = 0; i < window; ++i) {
        const double d = static_cast<double>(samples[i]) - samples[i + lag];
        sum += d * d;
    }
    return sum;
}

// A short period (a high note) spans few samples, so interpolating one lag leaves cents of
// error; the dip at a multiple of the period, found and interpolated the same way, divides it.
double RefinedPeriod(const Samples& samples, double period)
{
    const std::size_t longest = std::min<std::size_t>(samples.size() / 3, 1024);
    const std::size_t multiple = static_cast<std::size_t>(static_cast<double>(longest) / period);
    if (multiple < 2)
        return period;
    std::size_t lag = static_cast<std::size_t>(std::lround(period * static_cast<double>(multiple)));
    const std::size_t window = samples.size() - longest - 2;
    while (lag <= longest && DifferenceAt(samples, lag + 1, window) < DifferenceAt(samples, lag, window))
        ++lag;
    while (lag > 2 && DifferenceAt(samples, lag - 1, window) < DifferenceAt(samples, lag, window))
        --lag;
    const double shift = ParabolaShift(DifferenceAt(samples, lag - 1, window), DifferenceAt(samples, lag, window),
                                       DifferenceAt(samples, lag + 1, window));
    return (static_cast<double>(lag) + shift) / static_cast<double>(multiple);
}

} // namespace

Samples MonoMix(const float* stereo, std::size_t frames)
{
    Samples mono(frames);
    for (std::size_t i = 0; i < frames; ++i)
        mono[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    return mono;
}

Samples Slice(const Samples& samples, std::size_t first, std::size_t count)
{
    first = std::min(first, samples.size());
    count = std::min(count, samples.size() - first);
    return Samples(samples.begin() + static_cast<std::ptrdiff_t>(first),
                   samples.begin() + static_cast<std::ptrdiff_t>(first + count));
}

double Db(double ratio)
{
    return ratio > 1e-10 ? 20 * std::log10(ratio) : -200;
}

double RmsOf(const Samples& samples)
{
    double sum = 0;
    for (float s : samples)
        sum += static_cast<double>(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

std::vector<double> RmsFramesDb(const Samples& samples, std::size_t frameSize)
{
    std::vector<double> levels;
    for (std::size_t first = 0; first + frameSize <= samples.size(); first += frameSize)
        levels.push_back(Db(RmsOf(Slice(samples, first, frameSize))));
    return levels;
}

double PitchHz(const Samples& samples, double rate, double minHz, double maxHz)
{
    const std::size_t minLag = static_cast<std::size_t>(std::floor(rate / maxHz));
    const std::size_t maxLag = static_cast<std::size_t>(std::ceil(rate / minHz)) + 1;
    if (minLag < 2 || 2 * maxLag >= samples.size())
        return 0;
    const std::vector<double> d = NormalisedDifference(samples, maxLag);
    std::size_t best = 0;
    for (std::size_t lag = minLag; lag < maxLag; ++lag) {
        if (d[lag] < kYinThreshold) {
            while (lag + 1 < maxLag && d[lag + 1] < d[lag])
                ++lag;
            best = lag;
            break;
        }
    }
    if (best == 0) // no dip below the threshold: the deepest one
        best = static_cast<std::size_t>(std::min_element(d.begin() + static_cast<std::ptrdiff_t>(minLag),
                                                         d.begin() + static_cast<std::ptrdiff_t>(maxLag)) - d.begin());
    if (d[best] > 0.5)
        return 0;
    const double period = static_cast<double>(best) + ParabolaShift(d[best - 1], d[best], d[best + 1]);
    return rate / RefinedPeriod(samples, period);
}

double Cents(double hz, double referenceHz)
{
    return 1200 * std::log2(hz / referenceHz);
}

double SpectralCentroidHz(const Samples& samples, double rate)
{
    std::size_t n = 1;
    while (n * 2 <= samples.size())
        n *= 2;
    std::vector<std::complex<double>> data(n);
    for (std::size_t i = 0; i < n; ++i)
        data[i] = samples[i] * (0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(i) / static_cast<double>(n)));
    Fft(data);
    double weighted = 0, total = 0;
    for (std::size_t bin = 1; bin < n / 2; ++bin) {
        const double magnitude = std::abs(data[bin]);
        weighted += magnitude * static_cast<double>(bin) * rate / static_cast<double>(n);
        total += magnitude;
    }
    return total > 0 ? weighted / total : 0;
}

double DecayTime(const Samples& samples, double rate, std::size_t fromSample, std::size_t frameSize, double dropDb)
{
    const std::vector<double> levels = RmsFramesDb(Slice(samples, fromSample, samples.size()), frameSize);
    if (levels.empty())
        return -1;
    for (std::size_t i = 1; i < levels.size(); ++i) {
        if (levels[i] <= levels[0] - dropDb)
            return static_cast<double>(i * frameSize) / rate;
    }
    return -1;
}
