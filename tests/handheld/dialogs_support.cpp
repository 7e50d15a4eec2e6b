#include "dialogs_support.h"

#include "program.h"
#include "program_support.h"
#include "treefill.h"
#include "widetext.h"

#include <gtest/gtest.h>
#include <set>

namespace {

struct Armed {
    std::wstring caption;
    DialogScript script;
};

} // namespace

static DialogDriver* gDriver = nullptr;
static HHOOK gHook = nullptr;
static std::vector<Armed> gArmed;
static std::set<HWND> gDriven;

namespace {

enum { kRunTimer = 0x7101, kWatchTimer = 0x7102, kWatchMilliseconds = 5000 };

} // namespace

static bool isSheet(HWND window) {
    return GetDlgItem(window, 0x3020) != nullptr; // the sheet's tab control
}

static void CALLBACK watchDialog(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    if (gDriver)
        ++gDriver->leftOpen;
    if (isSheet(window))
        PropSheet_PressButton(window, PSBTN_CANCEL);
    else
        EndDialog(window, 0);
}

// By now the dialog has its caption (a sheet sets its own after it was
// activated).
static void CALLBACK runScript(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    DialogScript script;
    for (size_t i = 0; i < gArmed.size(); ++i) {
        if (gArmed[i].caption == caption) {
            script = gArmed[i].script;
            gArmed.erase(gArmed.begin() + (long)i);
            break;
        }
    }
    if (!script) {
        ADD_FAILURE() << "no script for the dialog";
        watchDialog(window, 0, 0, 0);
        return;
    }
    if (gDriver)
        ++gDriver->ran;
    SetTimer(window, kWatchTimer, kWatchMilliseconds, watchDialog);
    script(window);
}

// Message boxes are made by the system from its own template (Wine leaves
// their instance empty); the Session
// answers those. Every other dialog is the driver's.
static bool isMessageBox(HWND window) {
    HINSTANCE owner = (HINSTANCE)GetWindowLongPtrW(window, GWLP_HINSTANCE);
    return !owner || owner == GetModuleHandleW(L"user32.dll");
}

static LRESULT CALLBACK driverHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = (HWND)wParam;
        if (gDriven.count(window))
            return 0; // ours: the Session must not answer it
        if (isDialogBox(window) && !isMessageBox(window)) {
            gDriven.insert(window);
            SetTimer(window, kRunTimer, 10, runScript);
            return 0;
        }
    }
    if (code == HCBT_DESTROYWND)
        gDriven.erase((HWND)wParam);
    return CallNextHookEx(gHook, code, wParam, lParam);
}

// The node below start that carries the item with this id, in the order the
// tree shows them: a walk without recursion, so no chain is too deep for it.
static HTREEITEM findNodeById(HWND tree, HTREEITEM start, uint32_t id) {
    HTREEITEM node = TreeView_GetChild(tree, start);
    while (node) {
        NoteItem* item = nodeItem(tree, node);
        if (item && item->id == id)
            return node;
        HTREEITEM next = TreeView_GetChild(tree, node);
        // No child: the next sibling of the node or of its nearest ancestor
        // below start that has one.
        while (!next && node && node != start) {
            next = TreeView_GetNextSibling(tree, node);
            if (!next)
                node = TreeView_GetParent(tree, node);
        }
        node = next;
    }
    return nullptr;
}

DialogDriver::DialogDriver() {
    gDriver = this;
    gHook = SetWindowsHookExW(WH_CBT, driverHook, nullptr, GetCurrentThreadId());
}

DialogDriver::~DialogDriver() {
    UnhookWindowsHookEx(gHook);
    gHook = nullptr;
    gDriver = nullptr;
    gArmed.clear();
    gDriven.clear();
}

void DialogDriver::expect(const wchar_t* caption, DialogScript script) {
    gArmed.push_back({caption, script});
}

void pumpFor(DWORD milliseconds) {
    DWORD until = GetTickCount() + milliseconds;
    MSG message;
    while (GetTickCount() < until) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            Sleep(5);
        }
    }
}

std::wstring controlText(HWND dialog, int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

std::vector<std::wstring> comboEntries(HWND dialog, int id) {
    std::vector<std::wstring> entries;
    LRESULT count = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        if (SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, (WPARAM)i, 0) < 128)
            SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, (WPARAM)i, (LPARAM)text);
        entries.push_back(text);
    }
    return entries;
}

int comboSelection(HWND dialog, int id) {
    return (int)SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
}

void setDate(HWND dialog, int id, WORD year, WORD month, WORD day, WORD hour) {
    SYSTEMTIME date = {};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    date.wHour = hour;
    date.wMinute = hour ? 45 : 0;
    EXPECT_TRUE(SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&date));
}

void setNoDate(HWND dialog, int id) {
    SYSTEMTIME ignored = {};
    EXPECT_TRUE(SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_NONE, (LPARAM)&ignored));
}

int selectedListRow(HWND dialog, int id) {
    return ListView_GetNextItem(GetDlgItem(dialog, id), -1, LVNI_SELECTED);
}

std::wstring widen(const char* text) {
    std::wstring wide;
    for (; *text; ++text)
        wide += (wchar_t)(unsigned char)*text;
    return wide;
}

std::string narrow(const WideChar* text, size_t cap) {
    std::string out;
    for (size_t i = 0; i < cap && text[i]; ++i)
        out += text[i] < 128 ? (char)text[i] : '?';
    return out;
}

NoteItem* itemNamed(const char* name) {
    for (NoteItem* item = gList.head; item; item = item->next)
        if (narrow(item->name, kNameChars) == name)
            return item;
    return nullptr;
}

NoteItem* itemWithId(uint32_t id) {
    for (NoteItem* item = gList.head; item; item = item->next)
        if (item->id == id)
            return item;
    return nullptr;
}

HTREEITEM nodeOf(const NoteItem* item) {
    HWND tree = gProgram.treeView;
    return item ? findNodeById(tree, TreeView_GetRoot(tree), item->id) : nullptr;
}

void selectNode(HTREEITEM node) {
    TreeView_SelectItem(gProgram.treeView, node);
}
