#include "sf2/PresetHeader.h"

#include "sf2/LittleEndian.h"

namespace {

constexpr std::size_t kPresetOffset = 20;
constexpr std::size_t kBankOffset = 22;
constexpr std::size_t kPresetBagIndexOffset = 24;
constexpr std::size_t kLibraryOffset = 26;
constexpr std::size_t kGenreOffset = 30;
constexpr std::size_t kMorphologyOffset = 34;

std::size_t NameLength(const PresetHeader& entry)
{
    std::size_t length = 0;
    while (length < PresetHeader::kNameSize && entry.record[length] != 0)
        ++length;
    return length;
}

// Folds A-Z only: names are sorted the same way whatever the locale.
int FoldCase(std::uint8_t byte)
{
    return (byte >= 'A' && byte <= 'Z') ? byte - 'A' + 'a' : byte;
}

int CompareNamesIgnoringCase(const PresetHeader& a, const PresetHeader& b)
{
    const std::size_t lengthA = NameLength(a);
    const std::size_t lengthB = NameLength(b);
    for (std::size_t i = 0; i < lengthA && i < lengthB; ++i) {
        const int difference = FoldCase(a.record[i]) - FoldCase(b.record[i]);
        if (difference != 0)
            return difference;
    }
    return (lengthA < lengthB) ? -1 : (lengthA > lengthB) ? 1 : 0;
}

} // namespace

std::string PresetHeader::Name() const
{
    return std::string(reinterpret_cast<const char*>(record.data()), NameLength(*this));
}

std::uint16_t PresetHeader::Preset() const { return LoadU16<kPresetOffset>(record); }
std::uint16_t PresetHeader::Bank() const { return LoadU16<kBankOffset>(record); }
std::uint16_t PresetHeader::PresetBagIndex() const { return LoadU16<kPresetBagIndexOffset>(record); }
std::uint32_t PresetHeader::Library() const { return LoadU32<kLibraryOffset>(record); }
std::uint32_t PresetHeader::Genre() const { return LoadU32<kGenreOffset>(record); }
std::uint32_t PresetHeader::Morphology() const { return LoadU32<kMorphologyOffset>(record); }

bool operator<(const PresetHeader& a, const PresetHeader& b)
{
    if (a.Bank() != b.Bank())
        return a.Bank() < b.Bank();
    if (a.Preset() != b.Preset())
        return a.Preset() < b.Preset();
    return CompareNamesIgnoringCase(a, b) < 0;
}
