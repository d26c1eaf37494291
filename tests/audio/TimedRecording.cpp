#include "tests/audio/TimedRecording.h"

#include <algorithm>
#include <cmath>
#include <utility>

CTimedRecording::CTimedRecording(const WavRecording& recording, std::vector<SoundMark> marks, float threshold,
                                 double levelWindow)
    : m_recording(recording), m_marks(std::move(marks)), m_threshold(threshold), m_levelWindow(levelWindow)
{}

bool CTimedRecording::Place(const std::string& soundCase, std::string& problem)
{
    m_case = soundCase;
    const double on = MarkTime(m_marks, soundCase, "on");
    if (on < 0) {
        problem = "not played (no mark)";
        return false;
    }
    double due = 0, from = 0, to = Seconds(m_recording.mono.size());
    if (m_placed) {
        due = m_onset + (on - m_onsetMark);
        from = due - 0.1;
        to = due + 0.3;
    }
    m_onsetMark = on;
    m_placed = true;
    for (std::size_t n = Sample(from); n < Sample(to); ++n) {
        if (std::fabs(m_recording.mono[n]) > m_threshold) {
            m_onset = Seconds(n);
            return true;
        }
    }
    // The next case is looked for where this one was due.
    m_onset = due;
    float loudest = 0;
    for (std::size_t n = Sample(from); n < Sample(to); ++n)
        loudest = std::max(loudest, std::fabs(m_recording.mono[n]));
    problem = "nothing heard from " + std::to_string(from) + " s to " + std::to_string(to) + " s of the " +
              std::to_string(Seconds(m_recording.mono.size())) + " s recorded (its loudest sample " +
              std::to_string(loudest) + ")";
    return false;
}

double CTimedRecording::At(const std::string& event) const
{
    return m_onset + (MarkTime(m_marks, m_case, event) - m_onsetMark);
}

std::vector<float> CTimedRecording::Span(double from, double to) const
{
    return std::vector<float>(m_recording.mono.begin() + static_cast<std::ptrdiff_t>(Sample(from)),
                              m_recording.mono.begin() + static_cast<std::ptrdiff_t>(Sample(to)));
}

LevelRange CTimedRecording::Levels(double from, double to) const
{
    return WindowLevels(m_recording.mono, Sample(from), Sample(to), Sample(m_levelWindow));
}

LevelRange CTimedRecording::ToneLevels(double from, double to, double hz) const
{
    return ::ToneLevels(m_recording.mono, Sample(from), Sample(to), m_recording.rate, hz, Sample(m_levelWindow));
}

std::size_t CTimedRecording::Sample(double seconds) const
{
    const double at = std::max(0.0, seconds) * m_recording.rate;
    return std::min(static_cast<std::size_t>(at), m_recording.mono.size());
}

double CTimedRecording::Seconds(std::size_t sample) const
{
    return static_cast<double>(sample) / m_recording.rate;
}
