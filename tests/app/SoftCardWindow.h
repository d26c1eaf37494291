#pragma once
// The main window as the software card's sound test drives it: tree items found by the starts
// of their texts along a path from the top, and the user's gestures on them, each sent as the
// control or the shell sends it.

#include "tests/support/ModalRunner.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

using TreePath = std::vector<std::string>;

class SoftCardWindow {
public:
    explicit SoftCardWindow(ModalRunner& runner) : m_runner(runner) {}

    HWND Window() const { return m_runner.Window(); }
    HWND Tree() const;

    // The item reached from the top by children whose texts start with the path's texts,
    // each branch opened on the way; null when one is missing.
    HTREEITEM Find(const TreePath& path);
    bool Select(const TreePath& path);
    // The texts of the item's children, the item opened.
    std::vector<std::string> ChildTexts(const TreePath& path);

    // Drops the file onto the item as the shell does.
    bool DropOnto(const TreePath& path, const std::string& file);
    // The Delete key in the tree.
    void PressDelete();
    // The selected item's menu, as the menu key opens it, answered with `choice`; whether a
    // menu was shown.
    bool ChooseFromMenu(const std::string& choice);
    // The octave's arrows: +1 up, -1 down.
    void StepOctave(int delta);

private:
    HTREEITEM ChildStartingWith(HTREEITEM parent, const std::string& prefix) const;

    ModalRunner& m_runner;
};
