#include "tests/synth/Brightness.h"

#include <cmath>
#include <complex>
#include <utility>

namespace {

constexpr double kPi = 3.14159265358979323846;

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

} // namespace

double SpectralCentroidHz(const std::vector<float>& mono, double rate)
{
    std::size_t n = 1;
    while (n * 2 <= mono.size())
        n *= 2;
    if (n < 4)
        return 0;
    std::vector<std::complex<double>> data(n);
    for (std::size_t i = 0; i < n; ++i)
        data[i] = mono[i] * (0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(i) / static_cast<double>(n)));
    Fft(data);
    double weighted = 0, total = 0;
    for (std::size_t bin = 1; bin < n / 2; ++bin) {
        const double magnitude = std::abs(data[bin]);
        weighted += magnitude * static_cast<double>(bin) * rate / static_cast<double>(n);
        total += magnitude;
    }
    return total > 0 ? weighted / total : 0;
}
