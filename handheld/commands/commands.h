// The command vocabulary of the main window and the operations the commands
// share with the rest of the program.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

// Carries out one command; false for identifiers that are not commands.
bool onCommand(HWND mainWindow, UINT command);

// Puts the note pane's text into the node's item. 1, or 0 when memory ran
// short.
int storeNotePane(HWND mainWindow, HTREEITEM node);

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
