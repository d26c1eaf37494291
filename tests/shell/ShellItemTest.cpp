// Shell items on a real folder tree made by each test, under Z:\tmp (Wine's view of /tmp).

#include "shell/ShellFolder.h"
#include "shell/ShellItem.h"
#include "tests/shell/FakeShellFolder.h"
#include "tests/support/FolderPickerWatcher.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kPickerTitle[] = "Select folder with SoundFonts";

bool SameBytes(const CShellItem& a, const CShellItem& b)
{
    return a.GetSize() == b.GetSize() && std::memcmp(a.GetIdList(), b.GetIdList(), a.GetSize()) == 0;
}

std::vector<std::string> SortedNames(const CShellItemList& items)
{
    std::vector<std::string> names;
    for (const CShellItem& item : items)
        names.push_back(item.GetDisplayName());
    std::sort(names.begin(), names.end());
    return names;
}

CShellItem SpecialFolder(int csidl)
{
    CShellItem folder;
    EXPECT_EQ(folder.SetSpecialFolder(csidl), S_OK) << csidl;
    return folder;
}

CShellItem DrivesNode()
{
    return SpecialFolder(CSIDL_DRIVES);
}

// The tree:  root\A Piano.v2.sf2, root\b.wav, root\readme.txt, root\Sub1\x.sf2, root\Sub2 (empty).
class ShellItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (GetFileAttributesA("Z:\\tmp") == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "needs Wine's drive Z: with a folder tmp";
        m_root = CreateUniqueFolder("Z:\\tmp\\", "tw-shell-");
        ASSERT_FALSE(m_root.empty());
        MakeFolder("Sub1");
        MakeFolder("Sub2");
        for (const char* file : {"A Piano.v2.sf2", "b.wav", "readme.txt", "Sub1\\x.sf2"})
            MakeFile(file);
    }

    void TearDown() override
    {
        if (!m_root.empty())
            RemoveTree(m_root);
    }

    std::string PathOf(const std::string& relative) const { return m_root + "\\" + relative; }

    void MakeFolder(const std::string& relative) const
    {
        ASSERT_TRUE(CreateDirectoryA(PathOf(relative).c_str(), nullptr)) << relative;
    }

    void MakeFile(const std::string& relative) const
    {
        HANDLE file = CreateFileA(PathOf(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << relative;
        CloseHandle(file);
    }

    std::string m_root;
};

TEST_F(ShellItemTest, AnItemFromAPathGivesBackItsPathAndName)
{
    struct Case {
        const char* name;
        std::string path;
        std::string displayName;
    };
    const Case cases[] = {
        {"folder", m_root, m_root.substr(m_root.rfind('\\') + 1)},
        {"file, with its extension", PathOf("A Piano.v2.sf2"), "A Piano.v2.sf2"},
        {"subfolder", PathOf("Sub1"), "Sub1"},
        {"file in a subfolder", PathOf("Sub1\\x.sf2"), "x.sf2"},
    };
    for (const Case& c : cases) {
        CShellItem item(c.path);
        ASSERT_FALSE(item.IsEmpty()) << c.name;
        EXPECT_GT(item.GetSize(), 2u) << c.name;
        EXPECT_EQ(item.GetPath(), c.path) << c.name;
        EXPECT_EQ(item.GetDisplayName(), c.displayName) << c.name;
        // Asked again, from the name kept in the item.
        EXPECT_EQ(item.GetDisplayName(), c.displayName) << c.name;
    }
}

TEST_F(ShellItemTest, APathThatCannotBeParsedGivesAnEmptyItem)
{
    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {
        {"missing file", PathOf("missing.sf2")},
        {"missing folder", PathOf("Missing\\x.sf2")},
        {"empty text", ""},
        // Wine's parser would crash on these.
        {"Unix path", "/tmp"},
        {"Unix root", "/"},
        {"relative path", "tmp\\x"},
    };
    for (const Case& c : cases) {
        CShellItem item(c.path);
        EXPECT_TRUE(item.IsEmpty()) << c.name;
        EXPECT_EQ(item.GetSize(), 0u) << c.name;
        EXPECT_EQ(item.GetPath(), "") << c.name;
        EXPECT_EQ(item.GetDisplayName(), "") << c.name;
    }
}

TEST_F(ShellItemTest, ParentAndLastItemCutAListAndAppendJoinsItAgain)
{
    CShellItem file(PathOf("Sub1\\x.sf2"));
    CShellItem parent = file.GetParent();
    CShellItem last = file.GetLastItem();
    ASSERT_FALSE(parent.IsEmpty());
    ASSERT_FALSE(last.IsEmpty());

    EXPECT_EQ(parent.GetPath(), PathOf("Sub1"));
    EXPECT_TRUE(parent.IsEqual(CShellItem(PathOf("Sub1"))));
    EXPECT_EQ(parent.GetSize() + last.GetSize() - 2, file.GetSize());

    CShellItem joined = parent.Append(last);
    EXPECT_EQ(joined.GetSize(), parent.GetSize() + last.GetSize() - 2);
    EXPECT_TRUE(SameBytes(joined, file));
    EXPECT_EQ(joined.GetPath(), PathOf("Sub1\\x.sf2"));

    // The original is left whole by the cutting.
    EXPECT_EQ(file.GetPath(), PathOf("Sub1\\x.sf2"));
}

TEST_F(ShellItemTest, AppendWithAnEmptySideCopiesTheOther)
{
    CShellItem file(PathOf("b.wav"));
    CShellItem empty;
    EXPECT_TRUE(SameBytes(empty.Append(file), file));
    EXPECT_TRUE(SameBytes(file.Append(empty), file));
    EXPECT_NE(file.Append(empty).GetIdList(), file.GetIdList());
    EXPECT_TRUE(empty.Append(empty).IsEmpty());
    EXPECT_TRUE(empty.GetParent().IsEmpty());
    EXPECT_TRUE(empty.GetLastItem().IsEmpty());
}

TEST_F(ShellItemTest, ParentsEndAtTheDrivesNodeBelowTheDesktop)
{
    CShellItem drives = DrivesNode();
    CShellItem item(PathOf("Sub1\\x.sf2"));
    int levels = 0;
    while (!item.GetParent().IsEmpty()) {
        item = item.GetParent();
        ++levels;
    }
    EXPECT_GE(levels, 4);
    EXPECT_TRUE(item.IsEqual(drives));
    EXPECT_TRUE(item.GetParent().IsEmpty());
}

TEST_F(ShellItemTest, TheDrivesNodeHasANameButNoPath)
{
    CShellItem drives = DrivesNode();
    EXPECT_EQ(drives.GetPath(), "");
    EXPECT_TRUE(drives.GetParent().IsEmpty());
    // A direct child of the desktop: the desktop folder names it.
    EXPECT_NE(drives.GetDisplayName(), "");

    CShellItemList children;
    EXPECT_EQ(drives.EnumChildren(children, SHCONTF_FOLDERS), S_OK);
    auto driveZ = std::find_if(children.begin(), children.end(),
                               [](const CShellItem& child) { return child.GetPath() == "Z:\\"; });
    ASSERT_NE(driveZ, children.end());
    EXPECT_TRUE(driveZ->GetParent().IsEqual(drives));
}

TEST_F(ShellItemTest, AnUnknownSpecialFolderLeavesTheItem)
{
    CShellItem item(PathOf("Sub1"));
    CShellItem before = item;
    EXPECT_LT(item.SetSpecialFolder(0x7FFF), 0);
    EXPECT_TRUE(SameBytes(item, before));
    EXPECT_EQ(item.GetPath(), PathOf("Sub1"));
}

TEST_F(ShellItemTest, IsEqualComparesTheItemsNamed)
{
    struct Case {
        const char* name;
        std::string first;
        std::string second;
        bool equal;
    };
    const Case cases[] = {
        {"same folder parsed twice", PathOf("Sub1"), PathOf("Sub1"), true},
        {"folder with a final backslash", PathOf("Sub1") + "\\", PathOf("Sub1"), true},
        {"two files of one folder", PathOf("b.wav"), PathOf("readme.txt"), false},
        {"folder and a file in it", PathOf("Sub1"), PathOf("Sub1\\x.sf2"), false},
        {"two folders", PathOf("Sub1"), PathOf("Sub2"), false},
        {"empty and empty", "", "", true},
        {"empty and a folder", "", PathOf("Sub1"), false},
    };
    for (const Case& c : cases) {
        CShellItem first(c.first);
        CShellItem second(c.second);
        EXPECT_EQ(first.IsEqual(second), c.equal) << c.name;
        EXPECT_EQ(second.IsEqual(first), c.equal) << c.name;
    }
}

TEST_F(ShellItemTest, EnumChildrenListsFilesAndFoldersApart)
{
    CShellItem root(m_root);
    struct Case {
        const char* name;
        SHCONTF flags;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"files", SHCONTF_NONFOLDERS, {"A Piano.v2.sf2", "b.wav", "readme.txt"}},
        {"folders", SHCONTF_FOLDERS, {"Sub1", "Sub2"}},
    };
    for (const Case& c : cases) {
        CShellItemList children = {CShellItem(PathOf("Sub1\\x.sf2"))};
        ASSERT_EQ(root.EnumChildren(children, c.flags), S_OK) << c.name;
        EXPECT_EQ(SortedNames(children), c.names) << c.name;
        for (const CShellItem& child : children) {
            std::string name = child.GetDisplayName();
            EXPECT_EQ(child.GetPath(), PathOf(name)) << c.name;
            EXPECT_TRUE(child.GetParent().IsEqual(root)) << name;
            // The name and path that came with the listing are the ones the item would look up
            // itself.
            EXPECT_EQ(CShellItem(child.GetIdList()).GetDisplayName(), name);
            EXPECT_EQ(CShellItem(child.GetIdList()).GetPath(), child.GetPath());
        }
    }
}

TEST_F(ShellItemTest, ChildrenOfADriveRootHaveOneSeparatorInTheirPaths)
{
    CShellItemList children;
    ASSERT_EQ(CShellItem(std::string("Z:\\")).EnumChildren(children, SHCONTF_FOLDERS), S_OK);
    auto tmp = std::find_if(children.begin(), children.end(),
                            [](const CShellItem& child) { return child.GetDisplayName() == "tmp"; });
    ASSERT_NE(tmp, children.end());
    EXPECT_EQ(tmp->GetPath(), "Z:\\tmp");
}

TEST_F(ShellItemTest, EnumChildrenOfAnEmptyFolderGivesAnEmptyList)
{
    CShellItemList children = {CShellItem(m_root)};
    EXPECT_EQ(CShellItem(PathOf("Sub2")).EnumChildren(children, SHCONTF_NONFOLDERS), S_OK);
    EXPECT_TRUE(children.empty());
    children.emplace_back(m_root);
    EXPECT_EQ(CShellItem(PathOf("Sub2")).EnumChildren(children, SHCONTF_FOLDERS), S_OK);
    EXPECT_TRUE(children.empty());
}

TEST_F(ShellItemTest, EnumChildrenOfWhatCannotBeBoundLeavesTheList)
{
    struct Case {
        const char* name;
        CShellItem item;
    };
    const Case cases[] = {
        {"a file", CShellItem(PathOf("b.wav"))},
        {"an empty item", CShellItem()},
        {"the desktop's list of no items", SpecialFolder(CSIDL_DESKTOP)},
    };
    for (const Case& c : cases) {
        CShellItemList children = {CShellItem(PathOf("Sub1"))};
        EXPECT_LT(c.item.EnumChildren(children, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS), 0) << c.name;
        ASSERT_EQ(children.size(), 1u) << c.name;
        EXPECT_EQ(children[0].GetPath(), PathOf("Sub1")) << c.name;
    }
}

TEST_F(ShellItemTest, CopiesOwnTheirOwnList)
{
    CShellItem original(PathOf("Sub1\\x.sf2"));
    original.GetDisplayName();

    CShellItem copy(original);
    EXPECT_NE(copy.GetIdList(), original.GetIdList());
    EXPECT_TRUE(SameBytes(copy, original));
    EXPECT_EQ(copy.GetDisplayName(), "x.sf2");

    CShellItem assigned(PathOf("b.wav"));
    assigned = original;
    EXPECT_TRUE(SameBytes(assigned, original));
    EXPECT_EQ(assigned.GetDisplayName(), "x.sf2");
    assigned = assigned;
    EXPECT_EQ(assigned.GetPath(), PathOf("Sub1\\x.sf2"));

    CShellItem fromList(original.GetIdList());
    EXPECT_NE(fromList.GetIdList(), original.GetIdList());
    EXPECT_TRUE(SameBytes(fromList, original));

    CShellItem moved(std::move(copy));
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_EQ(copy.GetDisplayName(), "");
    EXPECT_EQ(moved.GetPath(), PathOf("Sub1\\x.sf2"));
    EXPECT_EQ(original.GetPath(), PathOf("Sub1\\x.sf2"));
}

TEST_F(ShellItemTest, CancellingTheFolderPickerLeavesTheItem)
{
    FolderPickerWatcher watcher;
    CShellItem item = DrivesNode();
    CShellItem before = item;
    EXPECT_EQ(item.BrowseForFolder(kPickerTitle, BIF_RETURNONLYFSDIRS), 1);
    EXPECT_TRUE(SameBytes(item, before));
    ASSERT_TRUE(watcher.WaitForCount(1));
    EXPECT_EQ(watcher.Pickers().at(0).title, kPickerTitle);
}

TEST_F(ShellItemTest, TheFolderPickerGivesTheChosenFolder)
{
    FolderPickerWatcher watcher(PathOf("Sub1"));
    CShellItem item = DrivesNode();
    EXPECT_EQ(item.BrowseForFolder(kPickerTitle, BIF_RETURNONLYFSDIRS), 0);
    EXPECT_EQ(item.GetPath(), PathOf("Sub1"));
    EXPECT_EQ(item.GetDisplayName(), "Sub1");
    ASSERT_TRUE(watcher.WaitForCount(1));
}

TEST_F(ShellItemTest, TheFolderPickerTitleIsCutTo511Characters)
{
    FolderPickerWatcher watcher;
    CShellItem item;
    EXPECT_EQ(item.BrowseForFolder(std::string(600, 't'), BIF_RETURNONLYFSDIRS), 1);
    EXPECT_TRUE(item.IsEmpty());
    ASSERT_TRUE(watcher.WaitForCount(1));
    EXPECT_EQ(watcher.Pickers().at(0).title, std::string(511, 't'));
}

} // namespace

TEST_F(ShellItemTest, FolderListingsLeaveOutFoldersThatAreFiles)
{
    // Windows lists .zip and .cab files among the folders, as folders that are streams too;
    // Wine has no such folder, so a folder of the test's own shows them.
    CShellFolder folder(new FakeShellFolder({{"Plain", SFGAO_FOLDER | SFGAO_FILESYSTEM},
                                             {"Archive.zip", SFGAO_FOLDER | SFGAO_STREAM | SFGAO_FILESYSTEM},
                                             {"Other", SFGAO_FOLDER}}));
    CShellItem root(m_root);
    CShellItemList children;
    ASSERT_EQ(root.EnumChildrenIn(folder, children, SHCONTF_FOLDERS), S_OK);
    EXPECT_EQ(SortedNames(children), (std::vector<std::string>{"Other", "Plain"}));
    for (const CShellItem& child : children)
        EXPECT_TRUE(child.GetParent().IsEqual(root)) << child.GetDisplayName();
}

TEST_F(ShellItemTest, AFileSystemChildsPathIsItsFoldersPathAndItsParsingName)
{
    // The parsing name, not the name shown, which hides the extension.
    CShellFolder folder(new FakeShellFolder({{"Piano.sf2", SFGAO_FILESYSTEM | SFGAO_STREAM, "Piano"}}));
    CShellItemList children;
    ASSERT_EQ(CShellItem(m_root).EnumChildrenIn(folder, children, SHCONTF_NONFOLDERS), S_OK);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].GetDisplayName(), "Piano");
    EXPECT_EQ(children[0].GetPath(), m_root + "\\Piano.sf2");
}
