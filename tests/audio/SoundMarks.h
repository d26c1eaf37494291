#pragma once
// The timeline of a recording: what the playing step did when, kept beside the recording so
// that the measuring step, in a process of its own, finds each case in it. Times are seconds
// on the player's clock; a case's own marks are read relative to its first.

#include <chrono>
#include <string>
#include <vector>

struct SoundMark {
    std::string soundCase;
    std::string event;
    double seconds = 0.0;
};

class CSoundMarkLog {
public:
    // Now, on the clock the log was made on.
    void Mark(const std::string& soundCase, const std::string& event);
    const std::vector<SoundMark>& Marks() const { return m_marks; }
    // One line a mark: "seconds case event"; false when the file can't be written.
    bool Write(const std::string& path) const;

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::vector<SoundMark> m_marks;
};

// What Write wrote, in its order; empty when the file can't be read.
std::vector<SoundMark> ReadSoundMarks(const std::string& path);

// The seconds of `event` of `soundCase`, or a negative number when it was not marked.
double MarkTime(const std::vector<SoundMark>& marks, const std::string& soundCase, const std::string& event);
