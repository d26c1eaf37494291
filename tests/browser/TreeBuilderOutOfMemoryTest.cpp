// Running out of memory while the tree lists a SoundFont's presets: the tree is built on the
// window's thread, so nothing may leave it as an exception. This program's allocator fails one
// chosen allocation.

#include "base/Diagnostics.h"
#include "browser/SoundTree.h"
#include "browser/TreeBuilder.h"
#include "engine/SoundFontManager.h"
#include "tests/engine/SoundFontFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

long g_allocations = 0;
// The number of the allocation that fails, counted from the last reset; 0 for none.
long g_failingAllocation = 0;

std::vector<std::string> g_traces;

void KeepTrace(const char* line)
{
    g_traces.push_back(line);
}

} // namespace

void* operator new(std::size_t size)
{
    if (++g_allocations == g_failingAllocation)
        throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

namespace {

// Rebuilds the tree and opens every branch: the file's presets are listed last.
void RefreshAndListEverything(CTreeBuilder& builder, HWND window)
{
    builder.Refresh(nullptr);
    std::vector<HTREEITEM> pending{TreeView_GetRoot(window)};
    while (!pending.empty()) {
        HTREEITEM item = pending.back();
        pending.pop_back();
        for (; item; item = TreeView_GetNextSibling(window, item)) {
            builder.ListChildren(item);
            if (HTREEITEM child = TreeView_GetChild(window, item))
                pending.push_back(child);
        }
    }
}

} // namespace

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

TEST(TreeBuilderOutOfMemory, KeepsThePresetsListedSoFar)
{
    constexpr int kPresetCount = 3000;
    const std::string folder = FreshFolder("out-of-memory");
    FixtureSoundFont soundFont;
    for (int i = 0; i < kPresetCount; ++i) {
        char name[21];
        std::snprintf(name, sizeof name, "Long preset name %03d", i % 1000);
        soundFont.presets.push_back({name, static_cast<std::uint16_t>(i / 128), static_cast<std::uint16_t>(i % 128), 0});
    }
    WriteSoundFont(folder + "many.sf2", soundFont);
    std::string path = folder;
    path.pop_back();
    const std::vector<CShellItem> folders{CShellItem(path)};

    HWND window = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    TreeImages images;
    CSoundTree tree;
    tree.Attach(window, &images);
    CSoundFontManager manager;
    ASSERT_TRUE(manager.Initialize().Ok());
    CDeviceMap deviceMap;
    CLoadedBankCache banks;
    CTreeBuilder builder(tree, manager, deviceMap, banks, folders);
    TraceSink previousSink = SetTraceSink(KeepTrace);

    g_allocations = 0;
    RefreshAndListEverything(builder, window);
    const long allocations = g_allocations;
    const UINT items = TreeView_GetCount(window);
    ASSERT_GT(items, static_cast<UINT>(kPresetCount));
    ASSERT_GT(allocations, 2 * kPresetCount) << "each preset's item and name";

    // The presets' items and names are the last few thousand allocations of the refresh.
    g_traces.clear();
    g_allocations = 0;
    g_failingAllocation = allocations - kPresetCount;
    try {
        RefreshAndListEverything(builder, window);
    } catch (...) {
        ADD_FAILURE() << "an exception left the tree's refresh";
    }
    g_failingAllocation = 0;
    SetTraceSink(previousSink);

    const UINT itemsLeft = TreeView_GetCount(window);
    EXPECT_LT(itemsLeft, items);
    EXPECT_GT(itemsLeft, items - kPresetCount) << "the presets listed before memory ran out stay";
    ASSERT_EQ(g_traces.size(), 1u);
    EXPECT_NE(g_traces[0].find("Couldn't list every preset of soundfont"), std::string::npos) << g_traces[0];
    DestroyWindow(window);
}
