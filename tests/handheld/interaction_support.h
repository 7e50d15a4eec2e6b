// Helpers for driving the tree view of the real main window: documents with
// notes and colours, nodes found by name, notifications as the tree view and
// the gesture layer send them, pointer messages, and the context menu
// answered by keystrokes once it is open.
#pragma once

#include "notetypes.h"
#include "program_support.h"

#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

struct NoteRecord {
    const char* name;
    uint32_t id, parentId, level;
    uint16_t checkState; // 0 counts as unchecked
    uint16_t priority;
    uint16_t colour;
    uint16_t icon; // 0 counts as 4
    const char* note;
    const char* category;
};

void writeNotes(const std::wstring& path, const std::vector<NoteRecord>& items,
                int32_t viewMode = 0);

// The saved document, read back with the note-file reader.
struct SavedDocument {
    NoteList list;
    int loaded;
    SavedDocument(const std::wstring& path);
    ~SavedDocument();
    const NoteItem* find(const char* name) const;
};

std::string narrow(const wchar_t* text);
UINT checkImage(HWND tree, HTREEITEM node); // state image index

// Centre of a node's label, and points on its check box and button, in the tree view's
// client coordinates.
POINT labelPoint(HWND tree, HTREEITEM node);
POINT checkBoxPoint(HWND tree, HTREEITEM node);
POINT buttonPoint(HWND tree, HTREEITEM node); // the expand button

LRESULT sendTreeNotify(HWND mainWindow, HWND tree, NMHDR* header, UINT code);

// Tap and hold as the gesture layer reports it, at a tree point.
void sendContextGesture(HWND mainWindow, HWND tree, POINT treePoint);

// Keystrokes posted to the menu loop as soon as the context menu opens; the
// next menu shown takes them. Escape alone closes it with no command.
void answerNextMenu(const std::vector<WORD>& keys);
bool menuWasShown(); // since the last answerNextMenu
void stopAnsweringMenus();

// Runs messages for a while (timers and the gesture layer need time).
void pumpFor(DWORD milliseconds);
