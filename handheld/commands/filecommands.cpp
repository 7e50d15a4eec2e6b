// "New File...", "Open..." and "Save As...": every moment apart from closing
// at which the document is written, and the only commands that change the
// current note file.
#include "commandparts.h"

#include "commands.h"
#include "docsave.h"
#include "fileio.h"
#include "notefile.h"
#include "notemodel.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"

namespace {

enum {
    kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, // 0x806
    kOpenFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST
}; // 0x1804

} // namespace

static FileDialogCall gOpenCall = GetOpenFileNameW;
static FileDialogCall gSaveCall = GetSaveFileNameW;

void setFileDialogCalls(FileDialogCall open, FileDialogCall save) {
    gOpenCall = open ? open : GetOpenFileNameW;
    gSaveCall = save ? save : GetSaveFileNameW;
}

// Asks for a file with the standard dialog; path (kPathChars) holds the
// choice. 0 when the user cancelled.
static int askForFile(HWND mainWindow, bool save, const WCHAR* title, WCHAR* path) {
    // One entry: description and pattern, each ending in a zero, then the
    // zero that ends the list.
    static const WCHAR kFilter[] = L"Twigmark Files (*.twk)\0*.twk\0";
    WCHAR chosen[kPathChars] = {};
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = mainWindow;
    request.hInstance = gProgram.instance;
    request.lpstrFilter = kFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = chosen;
    request.nMaxFile = kPathChars;
    request.lpstrInitialDir = nullptr;
    request.lpstrTitle = title;
    request.lpstrDefExt = L"twk";
    request.Flags = save ? kSaveFlags : kOpenFlags;
    BOOL confirmed = (save ? gSaveCall : gOpenCall)(&request);
    chosen[kPathChars - 1] = 0;
    if (!confirmed || chosen[0] == 0)
        return 0;
    lstrcpynW(path, chosen, kPathChars);
    return 1;
}

// A current file that did not load whole keeps its original bytes beside
// it before the first save writes over it. Zero when the document may not
// be replaced: its changes could not be written, and starting another
// document would throw them away. The user is told and can still save them
// elsewhere with "Save As...".
static int saveCurrent(HWND mainWindow) {
    if (saveKeepingDamaged(gProgram.treeView, gProgram.notePath, &gProgram.notePathDamaged)) {
        gProgram.documentChanged = 0;
        return 1;
    }
    showSaveError(mainWindow);
    return !gProgram.documentChanged;
}

// Saves the current document, asks for the next file's name and empties the
// window for it; false when a failed save or the user stopped that.
static bool startAnotherDocument(HWND mainWindow, bool forSaving, const WCHAR* caption) {
    if (!saveCurrent(mainWindow))
        return false;
    WCHAR path[kPathChars];
    if (!askForFile(mainWindow, forSaving, caption, path))
        return false;
    lstrcpynW(gProgram.notePath, path, kPathChars);
    newDocument(gProgram.treeView);
    discardSearch();
    return true;
}

static void newFile(HWND mainWindow) {
    if (startAnotherDocument(mainWindow, true, L"Save New File..."))
        gProgram.notePathDamaged = 0;
}

static void openFile(HWND mainWindow) {
    if (!startAnotherDocument(mainWindow, false, L"Open File..."))
        return;
    gProgram.notePathDamaged = loadNoteFile(mainWindow, gProgram.notePath);
    fillTree(gProgram.treeView);
}

static void saveAs(HWND mainWindow) {
    WCHAR path[kPathChars];
    if (!askForFile(mainWindow, true, L"Save As...", path))
        return;
    // Only the current file can be one that did not load whole or was not
    // read; another file is replaced as it is, as the save dialog has asked.
    // The current file may be chosen under another name (a link, another
    // drive letter for its folder): what counts is the file on disk.
    bool current = sameFile(path, gProgram.notePath) != 0;
    int damaged = current ? gProgram.notePathDamaged : 0;
    // The document now is what the new file holds, unless the save failed.
    if (saveKeepingDamaged(gProgram.treeView, path, &damaged))
        gProgram.documentChanged = 0;
    else
        showSaveError(mainWindow);
    lstrcpynW(gProgram.notePath, path, kPathChars);
    gProgram.notePathDamaged = damaged;
}

bool onFileCommand(HWND mainWindow, UINT command) {
    switch (command) {
    case IDM_NEW_FILE:
        newFile(mainWindow);
        return true;
    case IDM_OPEN:
        openFile(mainWindow);
        return true;
    case IDM_SAVE_AS:
        saveAs(mainWindow);
        return true;
    default:
        return false;
    }
}
