// The simulated SFMAN32.DLL seen from below the binding: its entry record, its unused slots
// and how it fills the buffers it is offered.

#include "engine/SfmInterface.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

namespace {

class SimEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_library = LoadLibraryA(kSfmLibraryName);
        ASSERT_NE(m_library, nullptr);
        m_entry = reinterpret_cast<const SfmEntry*>(
            reinterpret_cast<void*>(GetProcAddress(m_library, kSfmEntryName)));
        ASSERT_NE(m_entry, nullptr);
        ASSERT_EQ(m_entry->requestInterface(kSfmInterfaceId, &m_table), kSfmSuccess);
        ASSERT_NE(m_table, nullptr);
    }
    void TearDown() override { FreeLibrary(m_library); }

    HMODULE m_library = nullptr;
    const SfmEntry* m_entry = nullptr;
    const SfmOperationTable* m_table = nullptr;
};

TEST_F(SimEngineTest, OnlyTheKnownInterfaceIsHandedOut)
{
    const SfmOperationTable* table = nullptr;
    EXPECT_EQ(m_entry->requestInterface(0x10002, &table), kSfmInterfaceNotSupported);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(m_entry->requestInterface(kSfmInterfaceId, nullptr), kSfmInterfaceNotSupported);
}

TEST_F(SimEngineTest, UnusedSlotsAnswerWithAnErrorCode)
{
    EXPECT_EQ(m_table->Unused2(), kSfmSupportInvalid);
    EXPECT_EQ(m_table->Unused3(), kSfmSupportInvalid);
    EXPECT_EQ(m_table->Unused8(), kSfmSupportInvalid);
    EXPECT_EQ(m_table->Unused9(), kSfmSupportInvalid);
    EXPECT_EQ(m_table->Unused10(), kSfmSupportInvalid);
}

// Text goes into at most `size` bytes, terminated only when there is room; the length field
// tells the whole text's length.
TEST_F(SimEngineTest, ReceivedTextKeepsToTheOfferedSize)
{
    ASSERT_EQ(m_table->OpenDevice(0), kSfmSuccess);
    const struct {
        std::uint32_t size;
        const char* written;
    } cases[] = {{5, "Gener#"}, {12, "General MIDI#"}, {13, "General MIDI"}, {0, "#"}};
    for (const auto& c : cases) {
        char area[32];
        std::memset(area, '#', sizeof area);
        area[sizeof area - 1] = 0;
        SfmLocation location = {0, 0};
        SfmBuffer buffer = {c.size, area, 0, 0};
        ASSERT_EQ(m_table->BankName(0, &location, &buffer), kSfmSuccess) << c.size;
        EXPECT_EQ(std::string(area, std::strlen(c.written)), c.written) << c.size;
        EXPECT_EQ(buffer.length, 12u) << c.size;
    }
    EXPECT_EQ(m_table->CloseDevice(0), kSfmSuccess);
}

} // namespace
