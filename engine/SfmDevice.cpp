#include "engine/SfmDevice.h"

#include "engine/BankNumbers.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr std::uint16_t kEmptyBank = 0xFFFF;

SfmLocation MakeLocation(int bank, int preset = 0)
{
    return {static_cast<std::uint16_t>(bank), static_cast<std::uint16_t>(preset)};
}

// A path as the engine takes it: a copy cut to kMaxPathLength characters, its size counting
// the terminating zero.
class PathBuffer {
public:
    explicit PathBuffer(const std::string& path)
    {
        std::size_t length = std::min(strnlen(path.c_str(), path.size()), CSfmDevice::kMaxPathLength);
        std::memcpy(m_text, path.data(), length);
        m_text[length] = 0;
        m_buffer = {static_cast<std::uint32_t>(length + 1), m_text, 0, 0};
    }
    PathBuffer(const PathBuffer&) = delete;
    PathBuffer& operator=(const PathBuffer&) = delete;

    SfmBuffer* Get() { return &m_buffer; }

private:
    char m_text[CSfmDevice::kMaxPathLength + 1];
    SfmBuffer m_buffer;
};

// Room for a text from the engine: 1023 bytes offered in a 1024-byte area, so the text stays
// terminated even when the engine fills all it was offered.
class ReceivedText {
public:
    ReceivedText() = default;
    ReceivedText(const ReceivedText&) = delete;
    ReceivedText& operator=(const ReceivedText&) = delete;

    SfmBuffer* Get() { return &m_buffer; }
    std::string Text() const { return std::string(m_text, strnlen(m_text, sizeof m_text)); }

private:
    char m_text[1024] = {};
    SfmBuffer m_buffer = {sizeof m_text - 1, m_text, 0, 0};
};

} // namespace

CSfmDevice::CSfmDevice(EngineResult why)
    : m_openResult(why.Ok() ? EngineResult::Of(EngineResult::kDeviceIndexOutOfRange) : why)
{
}

CSfmDevice::CSfmDevice(const SfmOperationTable& operations, std::uint16_t device, CardPathRules paths,
                       int* openCount)
    : m_operations(&operations)
    , m_device(device)
    , m_paths(paths)
    , m_openCount(openCount)
    , m_mustClose(true)
{
    if (m_openCount)
        ++*m_openCount;
    m_openResult = EngineResult::Of(m_operations->OpenDevice(m_device));
}

CSfmDevice::~CSfmDevice()
{
    Close();
}

CSfmDevice::CSfmDevice(CSfmDevice&& other) noexcept
    : m_operations(other.m_operations)
    , m_device(other.m_device)
    , m_paths(other.m_paths)
    , m_openCount(other.m_openCount)
    , m_mustClose(std::exchange(other.m_mustClose, false))
    , m_openResult(other.m_openResult)
{
    other.m_openResult = EngineResult::Of(EngineResult::kDeviceIndexOutOfRange);
}

CSfmDevice& CSfmDevice::operator=(CSfmDevice&& other) noexcept
{
    if (this != &other) {
        Close();
        m_operations = other.m_operations;
        m_device = other.m_device;
        m_paths = other.m_paths;
        m_openCount = other.m_openCount;
        m_mustClose = std::exchange(other.m_mustClose, false);
        m_openResult = other.m_openResult;
        other.m_openResult = EngineResult::Of(EngineResult::kDeviceIndexOutOfRange);
    }
    return *this;
}

EngineResult CSfmDevice::Close()
{
    if (!m_mustClose)
        return EngineResult();
    m_mustClose = false;
    if (m_openCount)
        --*m_openCount;
    EngineResult closed = EngineResult::Of(m_operations->CloseDevice(m_device));
    if (m_openResult.Ok())
        m_openResult = EngineResult::Of(EngineResult::kDeviceIndexOutOfRange);
    return closed;
}

EngineResult CSfmDevice::QueryBank(int bank, int& answer)
{
    answer = -1;
    if (!IsOpen())
        return m_openResult;
    std::uint16_t field = static_cast<std::uint16_t>(bank);
    EngineResult result = EngineResult::Of(m_operations->QueryBank(m_device, &field));
    answer = field == kEmptyBank ? -1 : field;
    return result;
}

bool CSfmDevice::IsBankLoaded(int bank)
{
    int answer = -1;
    QueryBank(bank, answer);
    return answer == bank;
}

std::optional<std::string> CSfmDevice::CardPath(const std::string& path) const
{
    return m_paths.toCard ? m_paths.toCard(path) : std::optional<std::string>(path);
}

EngineResult CSfmDevice::LoadBank(int bank, const std::string& path)
{
    if (!IsOpen())
        return m_openResult;
    std::optional<std::string> cardPath = CardPath(path);
    if (!cardPath)
        return EngineResult::Of(EngineResult::kNameNotPassable);
    SfmLocation location = MakeLocation(bank);
    PathBuffer buffer(*cardPath);
    return EngineResult::Of(m_operations->LoadBank(m_device, &location, buffer.Get()));
}

EngineResult CSfmDevice::ClearBank(int bank)
{
    if (!IsOpen())
        return m_openResult;
    for (int tries = 0; tries < kMaxClearTries; ++tries) {
        SfmLocation location = MakeLocation(bank);
        EngineResult cleared = EngineResult::Of(m_operations->ClearBank(m_device, &location));
        if (cleared.Failed())
            return cleared;
        if (!IsBankLoaded(bank))
            return EngineResult();
    }
    // The engine accepts the clears but the bank stays loaded; give up rather than hang.
    return EngineResult::Of(kSfmUndefinedError);
}

EngineResult CSfmDevice::ClearAllBanks()
{
    if (!IsOpen())
        return m_openResult;
    for (int bank = kFirstBank; bank <= kLastBank; ++bank) {
        if (!IsBankLoaded(bank))
            continue;
        if (EngineResult cleared = ClearBank(bank); cleared.Failed())
            return cleared;
    }
    return EngineResult();
}

EngineResult CSfmDevice::QueryText(TextQuery query, SfmLocation location, std::string& text)
{
    text.clear();
    if (!IsOpen())
        return m_openResult;
    ReceivedText received;
    EngineResult result = EngineResult::Of((m_operations->*query)(m_device, &location, received.Get()));
    if (result.Ok())
        text = received.Text();
    return result;
}

EngineResult CSfmDevice::BankName(int bank, std::string& text)
{
    return QueryText(&SfmOperationTable::BankName, MakeLocation(bank), text);
}

EngineResult CSfmDevice::BankFileName(int bank, std::string& text)
{
    EngineResult result = QueryText(&SfmOperationTable::BankFileName, MakeLocation(bank), text);
    if (result.Ok() && !text.empty() && m_paths.fromCard)
        text = m_paths.fromCard(text);
    return result;
}

EngineResult CSfmDevice::PresetName(int bank, int preset, std::string& text)
{
    return QueryText(&SfmOperationTable::PresetName, MakeLocation(bank, preset), text);
}

EngineResult CSfmDevice::MemoryStatus(std::uint32_t& totalBytes, std::uint32_t& freeBytes)
{
    totalBytes = 0;
    freeBytes = 0;
    if (!IsOpen())
        return m_openResult;
    std::uint32_t total = 0;
    std::uint32_t available = 0;
    EngineResult result = EngineResult::Of(m_operations->MemoryStatus(m_device, &total, &available));
    if (result.Ok()) {
        totalBytes = total;
        freeBytes = available;
    }
    return result;
}

EngineResult CSfmDevice::LoadPreset(int sourceBank, int sourcePreset, int bank, int preset,
                                    const std::string& path)
{
    if (!IsOpen())
        return m_openResult;
    SfmLocation source = MakeLocation(sourceBank, sourcePreset);
    SfmLocation destination = MakeLocation(bank, preset);
    std::optional<std::string> cardPath = CardPath(path);
    if (!cardPath)
        return EngineResult::Of(EngineResult::kNameNotPassable);
    PathBuffer buffer(*cardPath);
    return EngineResult::Of(m_operations->LoadPreset(m_device, &source, &destination, buffer.Get()));
}

EngineResult CSfmDevice::ClearPreset(int bank, int preset)
{
    if (!IsOpen())
        return m_openResult;
    SfmLocation location = MakeLocation(bank, preset);
    return EngineResult::Of(m_operations->ClearPreset(m_device, &location));
}

EngineResult CSfmDevice::LoadWave(int bank, int preset, const std::string& path)
{
    if (!IsOpen())
        return m_openResult;
    std::optional<std::string> cardPath = CardPath(path);
    if (!cardPath)
        return EngineResult::Of(EngineResult::kNameNotPassable);
    SfmLocation location = MakeLocation(bank, preset);
    PathBuffer buffer(*cardPath);
    return EngineResult::Of(m_operations->LoadWave(m_device, &location, buffer.Get()));
}
