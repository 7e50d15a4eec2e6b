// Drives the real Twigmark main window inside the test process: note files
// made from records, the settings key, message boxes answered as they
// appear, and a walk of the tree view.
#pragma once

#include "file_bytes.h"
#include "notetypes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

struct ItemSpec {
    const char* name;
    uint32_t id, parentId, level;
    uint16_t checkState;
    uint16_t priority;
    const char* category;
    uint16_t year, month, day;
};

struct FileOptions {
    int32_t viewMode = 0, hideChecked = 0, ascending = 1, arrangeKey = 0;
};

std::wstring tempPath(const wchar_t* name);
void writeDocument(const std::wstring& path, const std::vector<ItemSpec>& items,
                   const FileOptions& options = FileOptions());

void clearSettings();
void setSettings(const std::wstring* defFile, const DWORD* hideEdit);
std::wstring readDefFile();
DWORD readHideEdit(bool* present);

// A test on the note file of this name in the temporary folder, with the
// settings cleared: the file is gone before the test and after it.
struct NoteFileTest : ::testing::Test {
    explicit NoteFileTest(const wchar_t* name) : notes(tempPath(name)) {}
    void SetUp() override {
        DeleteFileW(notes.c_str());
        clearSettings();
    }
    void TearDown() override { DeleteFileW(notes.c_str()); }
    std::wstring notes;
};

enum BoxIcon { kNoIcon, kStopIcon, kQuestionIcon, kInformationIcon };

// What a dialog box shows: its caption, its first static text and icon.
struct AnsweredBox {
    std::wstring caption, text;
    BoxIcon icon;
    bool yesNo; // has Yes and No buttons
    bool owned;
};

// Whether the window is of the dialog box class, as message boxes are too.
bool isDialogBox(HWND window);
AnsweredBox readDialogBox(HWND box);

// Message boxes shown while the session runs: caption, text, icon kind.
struct SeenBox {
    std::wstring caption, text;
    bool stopIcon;
    bool owned;
};

// One run of the program's start-up in this process, with message boxes
// answered and recorded.
struct Session {
    // beforeStart, when given, runs after the program's initialisation and
    // just before its start-up.
    explicit Session(const std::wstring& commandLine, void (*beforeStart)() = nullptr);
    ~Session();
    void pump();  // runs the messages waiting now
    bool close(); // WM_CLOSE, then the loop until the quit message
    bool started = false;
    bool ended = false;
    std::vector<SeenBox> boxes;
};

// The tree as text: one line per node, indented by depth, "[x]" for checked
// item nodes, "*" for nodes without an item.
std::string treeOutline(HWND tree);
RECT childRect(HWND parent, HWND child);

// Depth-first search of the tree for the first node with this label (its
// text in UTF-8), or null.
HTREEITEM findNode(HWND tree, const char* label);
std::string nodeLabel(HWND tree, HTREEITEM node);
// The labels of a node's children, comma separated.
std::string childLabels(HWND tree, HTREEITEM node);
