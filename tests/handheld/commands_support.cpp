#include "commands_support.h"

#include "commands.h"
#include "notefile.h"
#include "notemodel.h"
#include "program.h"
#include "resource.h"
#include "widetext.h"

#include <string.h>

// ---- dialog boxes -----------------------------------------------------------

static BoxAnswers* gAnswers = nullptr;
static HHOOK gAnswerHook = nullptr;

// A timer lets the box finish showing before it is read and answered; it
// fires before the program tests' own answer, which waits longer.
static void CALLBACK answerNow(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    if (!gAnswers)
        return;
    gAnswers->seen.push_back(readDialogBox(window));
    int button = IDOK;
    if (!gAnswers->pending.empty()) {
        button = gAnswers->pending.front();
        gAnswers->pending.erase(gAnswers->pending.begin());
    }
    PostMessageW(window, WM_COMMAND, (WPARAM)button, 0);
}

static LRESULT CALLBACK answerHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && isDialogBox((HWND)wParam))
        SetTimer((HWND)wParam, 7, 1, answerNow);
    return CallNextHookEx(gAnswerHook, code, wParam, lParam);
}

BoxAnswers::BoxAnswers() {
    gAnswers = this;
    gAnswerHook = SetWindowsHookExW(WH_CBT, answerHook, nullptr, GetCurrentThreadId());
}

BoxAnswers::~BoxAnswers() {
    UnhookWindowsHookEx(gAnswerHook);
    gAnswerHook = nullptr;
    gAnswers = nullptr;
}

// ---- file dialogs -------------------------------------------------------------

static FileDialogs* gFiles = nullptr;

static BOOL answerFileRequest(OPENFILENAMEW* request, bool save) {
    FileRequest seen = {};
    seen.copy = *request;
    seen.save = save;
    if (request->lpstrFilter) {
        const wchar_t* p = request->lpstrFilter;
        while (*p) {
            seen.filter += p;
            seen.filter += L'|';
            p += wcslen(p) + 1;
        }
    }
    if (request->lpstrTitle)
        seen.title = request->lpstrTitle;
    if (request->lpstrDefExt)
        seen.defExt = request->lpstrDefExt;
    if (request->lpstrFile)
        seen.initialFile = request->lpstrFile;
    std::wstring answer;
    if (gFiles) {
        gFiles->requests.push_back(seen);
        if (!gFiles->answers.empty()) {
            answer = gFiles->answers.front();
            gFiles->answers.erase(gFiles->answers.begin());
        }
    }
    if (answer.empty() || answer.size() >= request->nMaxFile)
        return FALSE;
    lstrcpynW(request->lpstrFile, answer.c_str(), (int)request->nMaxFile);
    return TRUE;
}

static BOOL APIENTRY fakeOpen(OPENFILENAMEW* request) {
    return answerFileRequest(request, false);
}
static BOOL APIENTRY fakeSave(OPENFILENAMEW* request) {
    return answerFileRequest(request, true);
}

FileDialogs::FileDialogs() {
    gFiles = this;
    setFileDialogCalls(fakeOpen, fakeSave);
}

FileDialogs::~FileDialogs() {
    setFileDialogCalls(nullptr, nullptr);
    gFiles = nullptr;
}

// ---- saved documents -------------------------------------------------------

SavedDocument readSaved(const std::wstring& path) {
    SavedDocument saved;
    NoteList list;
    memset(&list, 0, sizeof list);
    initList(&list);
    CategoryList categories = {};
    saved.loaded = readNoteFileEx(&list, path.c_str(), &saved.options, &categories, 0, nullptr);
    for (NoteItem* it = list.head; it; it = it->next) {
        NoteItem copy = *it;
        saved.notes.push_back(it->note ? std::wstring((const wchar_t*)it->note) : L"");
        copy.note = nullptr;
        copy.next = nullptr;
        saved.items.push_back(copy);
    }
    saved.nextId = list.nextId;
    clearList(&list);
    clearCategories(&categories);
    return saved;
}

std::string itemName(const NoteItem& item) {
    std::string out;
    for (size_t i = 0; i < kNameChars && item.name[i]; ++i)
        out += (char)item.name[i];
    return out;
}

// ---- the tree ----------------------------------------------------------------

UINT menuState(UINT buttonCommand, UINT command) {
    HMENU popup = menuBarPopup(buttonCommand);
    return popup ? GetMenuState(popup, command, MF_BYCOMMAND) : 0xFFFFFFFF;
}

UINT arrangeState(UINT command) {
    HMENU view = menuBarPopup(IDM_VIEW);
    HMENU arrange = view ? GetSubMenu(view, VIEW_MENU_ARRANGE_POSITION) : nullptr;
    return arrange ? GetMenuState(arrange, command, MF_BYCOMMAND) : 0xFFFFFFFF;
}
