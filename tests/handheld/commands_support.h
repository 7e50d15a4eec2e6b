// What the command tests need beyond a running main window: message boxes
// and dialogs answered with a chosen button, the file dialogs answered with
// a chosen path, the saved document read back, nodes found by their label.
#pragma once

#include "notetypes.h"
#include "program_support.h"

#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

// While it lives, every dialog box of this thread is answered as it appears:
// with the next queued button, or IDOK once the queue is empty.
struct BoxAnswers {
    BoxAnswers();
    ~BoxAnswers();
    void queue(int button) { pending.push_back(button); }
    std::vector<int> pending;
    std::vector<AnsweredBox> seen;
};

// The file dialogs: every request is recorded with copies of its texts; the
// answer is the next queued path, and an empty path cancels.
struct FileRequest {
    OPENFILENAMEW copy;
    bool save;
    std::wstring filter; // the whole list, zeros shown as '|'
    std::wstring title, defExt, initialFile;
};
struct FileDialogs {
    FileDialogs();
    ~FileDialogs();
    std::vector<std::wstring> answers;
    std::vector<FileRequest> requests;
};

// The document saved at path, read back; the items in file order.
struct SavedDocument {
    bool loaded = false;
    std::vector<NoteItem> items; // note pointers cleared
    std::vector<std::wstring> notes;
    ViewOptions options = {};
    int32_t nextId = 0;
};
SavedDocument readSaved(const std::wstring& path);
std::string itemName(const NoteItem& item);

// Menu entry state by command in a popup of the menu bar.
UINT menuState(UINT buttonCommand, UINT command);
UINT arrangeState(UINT command);
