#pragma once
// A recording read by the timeline it was played by (SoundMarks.h): each case is placed at its
// first note's onset, looked for where the timeline puts it after the case placed before, so
// that the two clocks need only agree over one case. Within a case, its marks give the times.

#include "tests/audio/SoundMarks.h"
#include "tests/audio/SoundMeasures.h"
#include "tests/audio/WavRecording.h"

#include <string>
#include <vector>

class CTimedRecording {
public:
    // A case's onset is its first sample above `threshold`; levels are taken over windows of
    // `levelWindow` seconds. The recording must outlive this.
    CTimedRecording(const WavRecording& recording, std::vector<SoundMark> marks, float threshold,
                    double levelWindow);

    // Places `soundCase` (its mark "on"): anywhere for the first, else from 0.1 s before to
    // 0.3 s after where it is due. False, with what went wrong in `problem`, when it was not
    // marked or nothing was heard there.
    bool Place(const std::string& soundCase, std::string& problem);

    double Onset() const { return m_onset; }
    // Seconds into the recording of the placed case's mark `event`.
    double At(const std::string& event) const;

    std::vector<float> Span(double from, double to) const;
    LevelRange Levels(double from, double to) const;
    LevelRange ToneLevels(double from, double to, double hz) const;
    unsigned Rate() const { return m_recording.rate; }

private:
    std::size_t Sample(double seconds) const;
    double Seconds(std::size_t sample) const;

    const WavRecording& m_recording;
    std::vector<SoundMark> m_marks;
    float m_threshold;
    double m_levelWindow;
    std::string m_case;
    bool m_placed = false;
    double m_onset = 0, m_onsetMark = 0;
};
