#include "tests/audio/SoundMarks.h"

#include <fstream>
#include <sstream>

void CSoundMarkLog::Mark(const std::string& soundCase, const std::string& event)
{
    const std::chrono::duration<double> since = std::chrono::steady_clock::now() - m_start;
    m_marks.push_back({soundCase, event, since.count()});
}

bool CSoundMarkLog::Write(const std::string& path) const
{
    std::ofstream file(path, std::ios::trunc);
    for (const SoundMark& mark : m_marks)
        file << mark.seconds << ' ' << mark.soundCase << ' ' << mark.event << '\n';
    return static_cast<bool>(file);
}

// Case names are one word; events too.
std::vector<SoundMark> ReadSoundMarks(const std::string& path)
{
    std::vector<SoundMark> marks;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        SoundMark mark;
        if (fields >> mark.seconds >> mark.soundCase >> mark.event)
            marks.push_back(mark);
    }
    return marks;
}

double MarkTime(const std::vector<SoundMark>& marks, const std::string& soundCase, const std::string& event)
{
    for (const SoundMark& mark : marks)
        if (mark.soundCase == soundCase && mark.event == event)
            return mark.seconds;
    return -1.0;
}
