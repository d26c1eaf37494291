#pragma once
// The library search of this process, narrowed once at start.

// Takes the current folder out of the search for libraries loaded by a bare name. Started by
// a document's association, the current folder is the document's, and a library lying there
// beside a downloaded file would otherwise be loaded in place of the card's own. The
// program's folder and the system and Windows folders stay in the search: that is where the
// card's software puts its library, and where the simulated card lies beside the program.
// Where the search can be narrowed to named folders, the folders of PATH leave it too.
void KeepCurrentFolderOutOfLibrarySearch();
