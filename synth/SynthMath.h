#pragma once
// The unit conversions of SoundFont 2: cents, timecents, centibels.

#include <cmath>

constexpr float kPi = 3.14159265358979f;

// 2^(cents/1200): the frequency ratio of an interval in cents.
inline float CentsToRatio(float cents)
{
    return std::exp2(cents * (1.0f / 1200.0f));
}

// Absolute cents (8.176 Hz at 0) to hertz.
inline float AbsoluteCentsToHz(float cents)
{
    return 8.17579892f * CentsToRatio(cents);
}

inline float TimecentsToSeconds(float timecents)
{
    return CentsToRatio(timecents);
}

// An attenuation in centibels (tenths of a decibel) to an amplitude factor.
inline float CentibelsToGain(float centibels)
{
    return std::pow(10.0f, centibels * (-1.0f / 200.0f));
}

inline float GainToCentibels(float gain)
{
    return gain <= 1e-5f ? 1000.0f : -200.0f * std::log10(gain);
}

template <typename T>
T Clamp(T value, T low, T high)
{
    return value < low ? low : (value > high ? high : value);
}
