// Drives the program's modal dialogs from inside their own message loops: a
// script armed for a caption runs once the dialog of that caption comes up.
// Message boxes are left to the Session, which answers them.
#pragma once

#include "notetypes.h"

#include <functional>
#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

typedef std::function<void(HWND)> DialogScript;

// Installs its hook after the Session's, so it sees activations first.
struct DialogDriver {
    DialogDriver();
    ~DialogDriver();
    // The next dialog whose caption is caption runs script; a dialog the
    // script leaves open is cancelled after a few seconds and counted.
    void expect(const wchar_t* caption, DialogScript script);
    int ran = 0;
    int leftOpen = 0;
};

// Runs the thread's messages for a while: inside a dialog's own loop it lets
// the layer's posted work (the SIPPREF's decision, a tap) happen.
void pumpFor(DWORD milliseconds);

// Controls
std::wstring controlText(HWND dialog, int id);
std::vector<std::wstring> comboEntries(HWND dialog, int id);
int comboSelection(HWND dialog, int id);
void setDate(HWND dialog, int id, WORD year, WORD month, WORD day, WORD hour = 0);
void setNoDate(HWND dialog, int id);
int selectedListRow(HWND dialog, int id);

// The model and the tree
NoteItem* itemNamed(const char* name);
NoteItem* itemWithId(uint32_t id);
HTREEITEM nodeOf(const NoteItem* item);
void selectNode(HTREEITEM node);
std::wstring widen(const char* text);
std::string narrow(const WideChar* text, size_t cap);
