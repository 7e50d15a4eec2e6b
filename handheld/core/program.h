// The program-wide state of Twigmark and the operations of its spine:
// start-up, the main window and its layout. One instance of each record;
// the window thread is the only one that touches them.
#pragma once

#include "notetypes.h"

#include <windows.h>

enum { kPathChars = 260, kMenuBarHeight = 26 };

enum NoteFileState {
    kFileWhole = 0,
    kFileDamaged = 1, // read, but not whole
    // Not read at all: the file could not be opened (another program holds
    // it, no rights), its folder could not be reached (a storage card not
    // inserted), or it is no regular file. The document shown is not its
    // content, so the file is written only once the user changed the
    // document, and then as a damaged one.
    kFileUnread = 2,
};

struct ProgramState {
    HINSTANCE instance;
    HWND mainWindow;
    HWND menuBar; // null when the shell could not make one
    HWND treeView;
    HWND notePane;
    HFONT normalFont;
    HFONT italicFont; // checked items
    HFONT boldFont;   // owner-drawn menu entries
    HMENU itemMenu;   // the item context menu
    WCHAR notePath[kPathChars];
    // What the load found at notePath (NoteFileState): whole, not whole (its
    // bytes are kept beside it before the first save replaces it), or not
    // read at all (saveKeepingDamaged).
    int notePathDamaged;
    // The document differs from what was last read from or written to
    // notePath: every change the user makes sets it; a save that wrote the
    // document, a whole load and "New File..." clear it.
    int documentChanged;
    // Start-up got as far as reading the settings; nothing after that can
    // fail, so the message loop will run. Until then destroying the window
    // stores no settings (they were never read) and posts no quit message.
    int running;
};

extern ProgramState gProgram;
extern NoteList gList;
extern ViewOptions gOptions;
extern CategoryList gCategories;

// The whole program: start-up, the message loop, the exit code. The global
// list is emptied before it returns.
int runTwigmark(HINSTANCE instance, const WCHAR* commandLine, int showCommand);

// The state before start-up: empty document, no search, no drag; the
// common controls and the shell's extra controls ready. endProgram frees the
// document.
void initProgram();
void endProgram();

// Start-up up to a filled tree; 0 when this copy must end (another copy
// runs, or the window or a font could not be made).
int startInstance(HINSTANCE instance, const WCHAR* commandLine, int showCommand);

// Registers the main window class; 0 on failure. Safe to call twice.
int registerMainWindowClass(HINSTANCE instance, const WCHAR* className);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fits the main window to the visible desktop and places the tree view and
// the note pane in it, following the SIP and "Hide Note Window".
void layoutMainWindow(HWND window);

// Tree view and note pane rectangles for a client area, as the layout
// places them.
struct ChildLayout {
    RECT tree; // left, top, width, height in right/bottom
    RECT pane;
    bool paneShown;
};
ChildLayout computeChildLayout(int clientWidth, int clientHeight, bool hideNote);

// The menu bar's popup for the button with this command (IDM_VIEW or
// IDM_TOOLS), or null.
HMENU menuBarPopup(UINT buttonCommand);
