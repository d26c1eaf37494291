#pragma once
// Opens the real main window on the simulated sound card, with a clean card and no settings
// file, and reads its tree and controls from the test's thread.

#include "app/BrowserDlg.h"
#include "base/resource.h"
#include "sim/SimControl.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ModalRunner.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One line per tree item: its depth (1 for top-level items), a space and its text.
using TreeLines = std::vector<std::string>;

// The tree's pictures, by their places in its image list: the window adds them in this order.
constexpr int kFolderOpenPicture = 0;
constexpr int kFolderPicture = 1;
constexpr int kMelodicPicture = 2;
constexpr int kPercussionPicture = 3;
constexpr int kSoundFontPicture = 4;
constexpr int kWavePicture = 5;
constexpr int kDevicePicture = 6;
constexpr int kDamagedPicture = 7;
constexpr int kSoftDevicePicture = 8;
constexpr int kPictureCount = 9;

// What an empty "Sound Files on disk" holds, as the tree gives it in the ANSI code page.
std::string AddFolderPrompt();

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the window; the start-up file is the command-line text.
    HWND Open(const std::string& startupFile = std::string());
    // Closes it with Escape and destroys it (the settings are written then).
    void Close();

    HWND Window() const { return m_runner ? m_runner->Window() : nullptr; }
    HWND Tree() const { return GetDlgItem(Window(), IDC_SOUND_TREE); }
    ModalRunner& Runner() { return *m_runner; }

    // The tree's items are inserted when their parent is first opened. These helpers look into
    // branches as the user would after opening them: they have the window list the children of
    // every item they look into, which leaves the item open or closed as it was.

    // The whole tree, collapsed items included: every branch is listed first.
    TreeLines Lines(HTREEITEM parent = TVI_ROOT, int depth = 1);
    // Has the window list every branch below `parent`, in one call on its thread.
    void ListEverything(HTREEITEM parent = TVI_ROOT);
    // The item reached by following `texts` from the top.
    HTREEITEM Find(const std::vector<std::string>& texts);
    std::vector<std::string> ChildTexts(HTREEITEM item);
    // Has the window list the children of `item`, as opening it first does.
    void ListChildren(HTREEITEM item);
    // On the window's thread: tells the window that `item` opens and has opened, as the tree
    // does, without opening it.
    void AnnounceOpening(HTREEITEM item);
    // Opens each item along `texts` as a click on its button does; the last item reached, or
    // null when one is missing.
    HTREEITEM OpenPath(const std::vector<std::string>& texts);
    // The texts of the open branches, each as its path from the top joined by "/".
    std::vector<std::string> OpenBranches(HTREEITEM parent = TVI_ROOT, const std::string& above = std::string()) const;
    std::string ItemText(HTREEITEM item) const;
    bool IsExpanded(HTREEITEM item) const;
    // Whether the item shows an expand button.
    bool HasButton(HTREEITEM item) const;
    CTreeItemData* RecordOf(HTREEITEM item) const;
    std::pair<int, int> ImagesOf(HTREEITEM item) const;

    // Runs `action` on the window's thread.
    void OnUi(const std::function<void()>& action) { m_runner->OnUiThread(action); }
    // Sends a tree notification as the tree control would.
    LRESULT NotifyTree(UINT code);
    // Moves the remembered mouse position onto `item` (or onto empty space for null).
    void PointAt(HTREEITEM item);

    // Drops the files and folders onto `item` (null: empty space in the tree) as the shell does.
    void DropOnto(const std::vector<std::wstring>& paths, HTREEITEM item);
    // The middle of `item`'s text (null: empty space in the tree), in the window's client
    // coordinates, as a drop gives it.
    POINT PointOn(HTREEITEM item) const;

    // Opens the settings with the Settings button, has `edit` change the page (given the
    // page's window) as the user would, and presses OK.
    void EditSettings(const std::function<void(HWND page)>& edit);
    // On the settings page: chooses an item of a combo box, ticks or clears a check box, types
    // into a field; each with the notification the control sends.
    static void ChooseItem(HWND page, int comboId, int position);
    static void SetCheck(HWND page, int checkId, bool checked);
    static void TypeInto(HWND page, int editId, const std::string& text);

    // Loads `path` into `bank` of `device` through a manager of the test's own.
    void LoadBank(int device, int bank, const std::string& path);
    const SimControlTable& Sim() const { return *m_sim; }
    static std::string IniPath();
    // What tnw.ini holds (the window writes it when it closes): a value as text, "(absent)"
    // when the key is missing, and the listed folders.
    static std::string SavedValue(const char* section, const char* key);
    static std::vector<std::string> SavedFolders();
    static std::string ReadFile(const std::string& path);

    MessageBoxWatcher m_boxes;

private:
    // The child of `parent` (the roots for none) shown with `text`, or null.
    HTREEITEM ChildWithText(HTREEITEM parent, const std::string& text) const;
    TreeLines ListedLines(HTREEITEM parent, int depth) const;

    std::string m_startFolder;
    HMODULE m_library = nullptr;
    const SimControlTable* m_sim = nullptr;
    std::unique_ptr<CBrowserDlg> m_dialog;
    std::unique_ptr<ModalRunner> m_runner;
};
