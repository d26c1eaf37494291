#include "cardmodel/CardState.h"

#include <cstdio>
#include <memory>
#include <sstream>

namespace {

// Line by line: a header, then each device followed by its banks (each followed by its
// preset names) and its placed instruments. Texts are written as one token: a colon, then
// the text with blanks, control bytes, '%' and bytes above 126 as %XX.
constexpr const char* kHeader = "sfman-card 1";
// A card with every bank of every device full of long names stays far below this.
constexpr std::size_t kMaxStateBytes = 64u << 20;

std::string EncodeText(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string token = ":";
    for (unsigned char byte : text) {
        if (byte <= ' ' || byte == '%' || byte > '~') {
            token += '%';
            token += kHex[byte >> 4];
            token += kHex[byte & 15];
        } else {
            token += static_cast<char>(byte);
        }
    }
    return token;
}

int HexDigit(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

bool DecodeText(const std::string& token, std::string& text)
{
    if (token.empty() || token[0] != ':')
        return false;
    text.clear();
    for (std::size_t at = 1; at < token.size(); ++at) {
        if (token[at] != '%') {
            text += token[at];
            continue;
        }
        int high = at + 2 < token.size() ? HexDigit(token[at + 1]) : -1;
        int low = at + 2 < token.size() ? HexDigit(token[at + 2]) : -1;
        if (high < 0 || low < 0)
            return false;
        text += static_cast<char>(high << 4 | low);
        at += 2;
    }
    return true;
}

// Reads "number number ... text" fields of one line; every field must be there.
class CLineFields {
public:
    explicit CLineFields(const std::string& rest) : m_stream(rest) {}

    bool Number(std::uint64_t& value, std::uint64_t maximum)
    {
        std::string token;
        if (!(m_stream >> token) || token.find_first_not_of("0123456789") != std::string::npos ||
            token.size() > 19)
            return false;
        value = std::stoull(token);
        return value <= maximum;
    }
    bool Text(std::string& value)
    {
        std::string token;
        return (m_stream >> token) && DecodeText(token, value);
    }
    bool AtEnd()
    {
        std::string token;
        return !(m_stream >> token);
    }

private:
    std::istringstream m_stream;
};

constexpr std::uint64_t kMaxMemory = 1ull << 48;
constexpr std::uint64_t kLastBank = kCardBankCount - 1;
constexpr std::uint64_t kLastPreset = 127;

class CStateParser {
public:
    bool Line(const std::string& keyword, const std::string& rest)
    {
        CLineFields fields(rest);
        if (keyword == "device")
            return Device(fields) && fields.AtEnd();
        if (keyword == "bank")
            return Bank(fields) && fields.AtEnd();
        if (keyword == "preset")
            return Preset(fields) && fields.AtEnd();
        if (keyword == "instrument")
            return Instrument(fields) && fields.AtEnd();
        return false;
    }
    CardContents& Contents() { return m_contents; }

private:
    bool Device(CLineFields& fields)
    {
        std::uint64_t total = 0;
        CardDevice device;
        if (m_contents.devices.size() >= CCardModel::kMaxDevices ||
            !fields.Number(total, 0xFFFFFFFFu) || !fields.Text(device.name))
            return false;
        device.totalMemory = static_cast<std::uint32_t>(total);
        m_contents.devices.push_back(std::move(device));
        m_bank = nullptr;
        return true;
    }
    bool Bank(CLineFields& fields)
    {
        std::uint64_t number = 0;
        CardBank bank;
        if (m_contents.devices.empty() || !fields.Number(number, kLastBank) || number == 0 ||
            !fields.Number(bank.memoryBytes, kMaxMemory) || !fields.Text(bank.name) ||
            !fields.Text(bank.fileName))
            return false;
        auto& slot = m_contents.devices.back().banks[number];
        slot = std::move(bank);
        m_bank = &*slot;
        return true;
    }
    bool Preset(CLineFields& fields)
    {
        std::uint64_t number = 0;
        std::string name;
        if (!m_bank || !fields.Number(number, kLastPreset) || !fields.Text(name))
            return false;
        m_bank->presetNames[static_cast<std::uint16_t>(number)] = name;
        return true;
    }
    bool Instrument(CLineFields& fields)
    {
        std::uint64_t bank = 0;
        std::uint64_t preset = 0;
        CardInstrument instrument;
        if (m_contents.devices.empty() || !fields.Number(bank, kLastBank) || bank == 0 ||
            !fields.Number(preset, kLastPreset) ||
            !fields.Number(instrument.memoryBytes, kMaxMemory) || !fields.Text(instrument.name))
            return false;
        m_contents.devices.back().instruments[static_cast<std::uint32_t>(bank << 16 | preset)] =
            std::move(instrument);
        return true;
    }

    CardContents m_contents;
    CardBank* m_bank = nullptr;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

std::string WriteCardState(const CardContents& contents)
{
    std::ostringstream out;
    out << kHeader << '\n';
    for (const CardDevice& device : contents.devices) {
        out << "device " << device.totalMemory << ' ' << EncodeText(device.name) << '\n';
        for (std::size_t number = 1; number < kCardBankCount; ++number) {
            const std::optional<CardBank>& bank = device.banks[number];
            if (!bank)
                continue;
            out << "bank " << number << ' ' << bank->memoryBytes << ' ' << EncodeText(bank->name)
                << ' ' << EncodeText(bank->fileName) << '\n';
            for (const auto& preset : bank->presetNames)
                out << "preset " << preset.first << ' ' << EncodeText(preset.second) << '\n';
        }
        for (const auto& placed : device.instruments) {
            out << "instrument " << (placed.first >> 16) << ' ' << (placed.first & 0xFFFF) << ' '
                << placed.second.memoryBytes << ' ' << EncodeText(placed.second.name) << '\n';
        }
    }
    return out.str();
}

bool ReadCardState(const std::string& text, CardContents& contents)
{
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != kHeader)
        return false;
    CStateParser parser;
    while (std::getline(lines, line)) {
        std::size_t space = line.find(' ');
        if (space == std::string::npos ||
            !parser.Line(line.substr(0, space), line.substr(space + 1)))
            return false;
    }
    contents = std::move(parser.Contents());
    return true;
}

bool LoadCardState(const std::string& path, CardContents& contents)
{
    FilePointer file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    std::string text;
    char block[4096];
    std::size_t count = 0;
    while ((count = std::fread(block, 1, sizeof block, file.get())) > 0) {
        if (text.size() + count > kMaxStateBytes)
            return false;
        text.append(block, count);
    }
    return !std::ferror(file.get()) && ReadCardState(text, contents);
}

bool SaveCardState(const std::string& path, const CardContents& contents)
{
    FilePointer file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    std::string text = WriteCardState(contents);
    bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    return std::fclose(file.release()) == 0 && written;
}
