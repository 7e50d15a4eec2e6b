// The command vocabulary of the main window and the operations the commands
// share with the rest of the program.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

// Carries out one command; false for identifiers that are not commands.
bool onCommand(HWND mainWindow, UINT command);

// Puts the note pane's text into the node's item. 1, or 0 when memory ran
// short: the item then keeps its old note.
int storeNotePane(HWND mainWindow, HTREEITEM node);

// The one rule for every change the program makes itself to the tree
// (commands, a drop, a new document): the tree view may move or clear the
// selection without telling, so the pane is stored into the selected item
// before, and the pane and the Modify and Delete buttons follow the
// selection after, as a selection by the user leaves them. Changes nest; only
// the outermost pair acts. beginProgramChange is 0, and no change begun, when
// the pane could not be stored (memory ran short; the user was told).
int beginProgramChange(HWND mainWindow);
void endProgramChange(HWND mainWindow);
bool inProgramChange();

// The pane, its state and the two image buttons as the selected node wants
// them: the root node has a title but no note, a heading neither.
void showSelection(HWND mainWindow);
// True while the program itself writes the pane (its EN_CHANGE is no typing).
bool showingNote();

// Collapses every node below node.
void collapseAll(HWND tree, HTREEITEM node);

// Frees the search state and grays "Find Again".
void discardSearch();

// The tree view is deleting node: a search whose last match was that node
// starts again at the root node, so no search ever uses a node that is gone.
void forgetSearchNode(HTREEITEM node);

// The two standard file dialogs. Tests replace them, because the system's
// dialogs cannot be driven from a test; null puts back GetOpenFileNameW and
// GetSaveFileNameW.
typedef BOOL(APIENTRY* FileDialogCall)(OPENFILENAMEW* request);
void setFileDialogCalls(FileDialogCall open, FileDialogCall save);
