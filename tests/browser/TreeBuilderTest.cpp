// The tree builder on a bare tree control: what the main window's tests can't reach through
// real folders, whose paths the platform keeps short.

#include "base/Diagnostics.h"
#include "browser/SoundTree.h"
#include "browser/TreeBuilder.h"
#include "engine/SoundFontManager.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/HiddenExtensions.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TreeBuilderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        m_tree.Attach(m_window, &m_images);
        ASSERT_TRUE(m_manager.Initialize().Ok());
        m_traces = std::make_unique<TraceCapture>();
    }
    void TearDown() override
    {
        m_traces.reset();
        DestroyWindow(m_window);
    }

    // Depth of the deepest item (1 for top-level items), every branch opened.
    int DeepestLevel(CTreeBuilder& builder, HTREEITEM parent = TVI_ROOT, int level = 1)
    {
        int deepest = 0;
        if (parent != TVI_ROOT)
            builder.ListChildren(parent);
        HTREEITEM child = parent == TVI_ROOT ? TreeView_GetRoot(m_window) : TreeView_GetChild(m_window, parent);
        for (; child; child = TreeView_GetNextSibling(m_window, child))
            deepest = std::max({deepest, level, DeepestLevel(builder, child, level + 1)});
        return deepest;
    }

    HWND m_window = nullptr;
    TreeImages m_images;
    CSoundTree m_tree;
    CSoundFontManager m_manager;
    CDeviceMap m_deviceMap;
    CLoadedBankCache m_banks;
    std::unique_ptr<TraceCapture> m_traces;
};

// With extensions hidden, as Windows has it by default, and shown.
class TreeBuilderExtensionsTest : public TreeBuilderTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        m_extensions = std::make_unique<HiddenExtensions>(GetParam());
        ASSERT_TRUE(m_extensions->Applied());
        TreeBuilderTest::SetUp();
    }
    void TearDown() override
    {
        TreeBuilderTest::TearDown();
        m_extensions.reset();
    }

    std::unique_ptr<HiddenExtensions> m_extensions;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Extensions, TreeBuilderExtensionsTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Hidden" : "Shown";
                         });

TEST_P(TreeBuilderExtensionsTest, FoldersBeyondTheDeepestLevelAreNotListedAndSaySo)
{
    std::string path = FreshFolder("deep");
    path.pop_back();
    std::vector<CShellItem> folders{CShellItem(path)};
    for (int depth = 0; depth < 12; ++depth) {
        path += "\\d";
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    }
    WriteBytes(path + "\\deepest.wav", WaveBytes(16));

    CTreeBuilder shallow(m_tree, m_manager, m_deviceMap, m_banks, folders, {}, 8);
    shallow.Refresh(nullptr);
    // The listed folder stands at level 2 and subfolders follow down to level 8.
    EXPECT_EQ(DeepestLevel(shallow), 8);
    ASSERT_EQ(m_traces->Lines().size(), 1u);
    EXPECT_NE(m_traces->Lines()[0].find("is nested too deeply; its subfolders are not listed"), std::string::npos);

    CTreeBuilder deep(m_tree, m_manager, m_deviceMap, m_banks, folders, {}, 20);
    deep.Refresh(nullptr);
    EXPECT_EQ(DeepestLevel(deep), 15) << "twelve subfolders and the file below them";
}
