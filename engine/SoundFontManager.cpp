#include "engine/SoundFontManager.h"

#include "engine/CardPath.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint16_t kEmptyBank = 0xFFFF;
constexpr int kLastBank = 127;

SfmLocation MakeLocation(int bank, int preset = 0)
{
    return {static_cast<std::uint16_t>(bank), static_cast<std::uint16_t>(preset)};
}

constexpr char kNameNotPassableText[] =
    "this file's name can't be passed to the sound card: rename it or copy it to a folder with a plain name";

// A path as the engine takes it: a copy cut to kMaxPathLength characters, its size counting
// the terminating zero.
class PathBuffer {
public:
    explicit PathBuffer(const std::string& path)
    {
        std::size_t length =
            std::min(strnlen(path.c_str(), path.size()), CSoundFontManager::kMaxPathLength);
        std::memcpy(m_text, path.data(), length);
        m_text[length] = 0;
        m_buffer = {static_cast<std::uint32_t>(length + 1), m_text, 0, 0};
    }
    PathBuffer(const PathBuffer&) = delete;
    PathBuffer& operator=(const PathBuffer&) = delete;

    SfmBuffer* Get() { return &m_buffer; }

private:
    char m_text[CSoundFontManager::kMaxPathLength + 1];
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

CSoundFontManager::~CSoundFontManager()
{
    if (m_deviceOpen)
        CloseDevice();
    Unload();
}

SfmResult CSoundFontManager::Initialize()
{
    // A device left open is closed while its table is still there.
    if (m_deviceOpen)
        CloseDevice();
    Unload();

    m_library = LoadLibraryA(kSfmLibraryName);
    if (!m_library) {
        m_lastResult = kSfmLoadDllFailed;
        return kLibraryNotLoaded;
    }
    m_entry = reinterpret_cast<const SfmEntry*>(
        reinterpret_cast<void*>(GetProcAddress(m_library, kSfmEntryName)));
    if (!m_entry) {
        m_lastResult = kSfmGetEntrypointFail;
        return kNoEntryPoint;
    }
    const SfmOperationTable* operations = nullptr;
    if (!m_entry->requestInterface ||
        m_entry->requestInterface(kSfmInterfaceId, &operations) != kSfmSuccess || !operations) {
        m_lastResult = kSfmInterfaceNotSupported;
        return kInterfaceRefused;
    }
    m_operations = operations;
    m_lastResult = kSfmSuccess;
    return kSfmSuccess;
}

void CSoundFontManager::Unload()
{
    m_operations = nullptr;
    m_entry = nullptr;
    if (m_library) {
        FreeLibrary(m_library);
        m_library = nullptr;
    }
}

const char* CSoundFontManager::GetErrorText() const
{
    if (m_lastResult == kNameNotPassable)
        return kNameNotPassableText;
    return SfmResultText(m_lastResult);
}

int CSoundFontManager::Record(SfmResult result)
{
    m_lastResult = result;
    return result != kSfmSuccess ? 1 : 0;
}

int CSoundFontManager::GetDeviceCount()
{
    if (!m_operations)
        return 0;
    std::uint16_t count = 0;
    // A failed count lists no devices rather than whatever the engine may have left behind.
    if (Record(m_operations->DeviceCount(&count)) != 0)
        return 0;
    return count;
}

int CSoundFontManager::GetDeviceCapabilities(int index, SfmCapabilities& capabilities)
{
    if (!m_operations)
        return 1;
    return Record(m_operations->Capabilities(static_cast<std::uint32_t>(index), &capabilities));
}

int CSoundFontManager::GetDeviceNames(std::vector<std::string>& names)
{
    names.clear();
    for (int index = 0; index < GetDeviceCount(); ++index) {
        std::string name;
        if (GetDeviceName(index, name) != 0)
            return 1;
        names.push_back(name);
    }
    return 0;
}

int CSoundFontManager::GetDeviceName(int index, std::string& name)
{
    SfmCapabilities capabilities = {};
    if (GetDeviceCapabilities(index, capabilities) != 0)
        return 1;
    name = SfmCapabilitiesName(capabilities);
    return 0;
}

int CSoundFontManager::FindDevice(const std::string& name, int& index)
{
    const int count = GetDeviceCount();
    int match = -1;
    // No early exit: among devices of the same name the last one wins.
    for (int candidate = 0; candidate < count; ++candidate) {
        std::string candidateName;
        if (GetDeviceName(candidate, candidateName) == 0 && candidateName == name)
            match = candidate;
    }
    if (match < 0)
        return kDeviceNotFound;
    index = match;
    return 0;
}

int CSoundFontManager::OpenDevice(int index)
{
    if (index < 0 || index >= GetDeviceCount())
        return kDeviceIndexOutOfRange;
    if (m_deviceOpen)
        CloseDevice();
    // Marked before the engine answers, so that a refused open is still closed later.
    m_currentDevice = index;
    m_deviceOpen = true;
    return Record(m_operations->OpenDevice(CurrentDevice()));
}

int CSoundFontManager::CloseDevice()
{
    if (!m_operations) {
        m_currentDevice = -1;
        m_deviceOpen = false;
        return 1;
    }
    // Every command closes the device before it reports a failed operation: a successful
    // close must not replace the failure's result, or the message would not say what failed.
    SfmResult closed = m_operations->CloseDevice(CurrentDevice());
    int result = closed == kSfmSuccess ? 0 : Record(closed);
    m_currentDevice = -1;
    m_deviceOpen = false;
    return result;
}

int CSoundFontManager::QueryBank(int bank)
{
    if (!m_operations)
        return -1;
    std::uint16_t field = static_cast<std::uint16_t>(bank);
    Record(m_operations->QueryBank(CurrentDevice(), &field));
    return field == kEmptyBank ? -1 : field;
}

int CSoundFontManager::LoadBank(int bank, const std::string& path)
{
    if (!m_operations)
        return 1;
    std::optional<std::string> cardPath = CardPathOf(path);
    if (!cardPath)
        return Record(kNameNotPassable);
    SfmLocation location = MakeLocation(bank);
    PathBuffer buffer(*cardPath);
    return Record(m_operations->LoadBank(CurrentDevice(), &location, buffer.Get()));
}

int CSoundFontManager::ClearBank(int bank)
{
    if (!m_operations)
        return 1;
    for (int tries = 0; tries < kMaxClearTries; ++tries) {
        SfmLocation location = MakeLocation(bank);
        if (Record(m_operations->ClearBank(CurrentDevice(), &location)) != 0)
            return 1;
        if (QueryBank(bank) != bank)
            return 0;
    }
    // The engine accepts the clears but the bank stays loaded; give up rather than hang.
    m_lastResult = kSfmUndefinedError;
    return 1;
}

int CSoundFontManager::ClearAllBanks()
{
    if (!m_operations)
        return 1;
    for (int bank = 1; bank <= kLastBank; ++bank) {
        if (QueryBank(bank) == bank && ClearBank(bank) != 0)
            return 1;
    }
    return 0;
}

int CSoundFontManager::QueryText(TextQuery query, SfmLocation location, std::string& text)
{
    text.clear();
    if (!m_operations)
        return 1;
    ReceivedText received;
    if (Record((m_operations->*query)(CurrentDevice(), &location, received.Get())) != 0)
        return 1;
    text = received.Text();
    return 0;
}

int CSoundFontManager::GetBankName(int bank, std::string& text)
{
    return QueryText(&SfmOperationTable::BankName, MakeLocation(bank), text);
}

int CSoundFontManager::GetBankFileName(int bank, std::string& text)
{
    if (QueryText(&SfmOperationTable::BankFileName, MakeLocation(bank), text) != 0)
        return 1;
    if (!text.empty())
        text = PathFromCard(text);
    return 0;
}

int CSoundFontManager::GetPresetName(int bank, int preset, std::string& text)
{
    return QueryText(&SfmOperationTable::PresetName, MakeLocation(bank, preset), text);
}

int CSoundFontManager::GetMemoryStatus(std::uint32_t& totalBytes, std::uint32_t& freeBytes)
{
    totalBytes = 0;
    freeBytes = 0;
    if (!m_operations)
        return 1;
    std::uint32_t total = 0;
    std::uint32_t available = 0;
    if (Record(m_operations->MemoryStatus(CurrentDevice(), &total, &available)) != 0)
        return 1;
    totalBytes = total;
    freeBytes = available;
    return 0;
}

int CSoundFontManager::LoadPreset(int sourceBank, int sourcePreset, int bank, int preset,
                                  const std::string& path)
{
    if (!m_operations)
        return 1;
    SfmLocation source = MakeLocation(sourceBank, sourcePreset);
    SfmLocation destination = MakeLocation(bank, preset);
    std::optional<std::string> cardPath = CardPathOf(path);
    if (!cardPath)
        return Record(kNameNotPassable);
    PathBuffer buffer(*cardPath);
    return Record(m_operations->LoadPreset(CurrentDevice(), &source, &destination, buffer.Get()));
}

int CSoundFontManager::ClearPreset(int bank, int preset)
{
    if (!m_operations)
        return 1;
    SfmLocation location = MakeLocation(bank, preset);
    return Record(m_operations->ClearPreset(CurrentDevice(), &location));
}

int CSoundFontManager::LoadWave(int bank, int preset, const std::string& path)
{
    if (!m_operations)
        return 1;
    std::optional<std::string> cardPath = CardPathOf(path);
    if (!cardPath)
        return Record(kNameNotPassable);
    SfmLocation location = MakeLocation(bank, preset);
    PathBuffer buffer(*cardPath);
    return Record(m_operations->LoadWave(CurrentDevice(), &location, buffer.Get()));
}
