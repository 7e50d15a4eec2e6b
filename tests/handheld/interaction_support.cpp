#include "interaction_support.h"

#include "document_builder.h"
#include "notefile.h"
#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"

#include <gtest/gtest.h>
#include <string.h>

void writeNotes(const std::wstring& path, const std::vector<NoteRecord>& items, int32_t viewMode) {
    std::vector<ItemValues> values;
    for (const NoteRecord& r : items)
        values.push_back({r.name, r.id, r.parentId, r.level, r.checkState, r.priority, r.colour,
                          r.icon, r.note, r.category, 0, 0, 0});
    ViewOptions options = {};
    options.viewMode = viewMode;
    options.ascending = 1;
    EXPECT_EQ(writeItems(path.c_str(), values.data(), values.size(), &options), 1);
}

SavedDocument::SavedDocument(const std::wstring& path) {
    memset(&list, 0, sizeof list);
    initList(&list);
    ViewOptions options = {};
    CategoryList categories = {};
    loaded = readNoteFile(&list, path.c_str(), &options, &categories);
    clearCategories(&categories);
}

SavedDocument::~SavedDocument() {
    clearList(&list);
}

const NoteItem* SavedDocument::find(const char* name) const {
    for (const NoteItem* item = list.head; item; item = item->next)
        if (narrow((const wchar_t*)item->name) == name)
            return item;
    return nullptr;
}

std::string narrow(const wchar_t* text) {
    char out[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out - 1, nullptr, nullptr);
    return out;
}

UINT checkImage(HWND tree, HTREEITEM node) {
    return (TreeView_GetItemState(tree, node, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) >> 12;
}

POINT labelPoint(HWND tree, HTREEITEM node) {
    TreeView_EnsureVisible(tree, node);
    RECT label = {};
    TreeView_GetItemRect(tree, node, &label, TRUE);
    POINT at = {(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    return at;
}

static POINT partPoint(HWND tree, HTREEITEM node, UINT part) {
    POINT label = labelPoint(tree, node);
    for (int x = 0; x < label.x; ++x) {
        TVHITTESTINFO hit = {};
        hit.pt.x = x;
        hit.pt.y = label.y;
        if (TreeView_HitTest(tree, &hit) == node && (hit.flags & part)) {
            POINT at = {x + 3, label.y};
            return at;
        }
    }
    ADD_FAILURE() << "no such part of the node";
    return label;
}

POINT checkBoxPoint(HWND tree, HTREEITEM node) {
    return partPoint(tree, node, TVHT_ONITEMSTATEICON);
}

POINT buttonPoint(HWND tree, HTREEITEM node) {
    return partPoint(tree, node, TVHT_ONITEMBUTTON);
}

LRESULT sendTreeNotify(HWND mainWindow, HWND tree, NMHDR* header, UINT code) {
    header->hwndFrom = tree;
    header->idFrom = (UINT_PTR)GetDlgCtrlID(tree);
    header->code = code;
    return SendMessageW(mainWindow, WM_NOTIFY, header->idFrom, (LPARAM)header);
}

void sendContextGesture(HWND mainWindow, HWND tree, POINT treePoint) {
    NMRGINFO info = {};
    info.ptAction = treePoint;
    ClientToScreen(tree, &info.ptAction);
    TVHITTESTINFO hit = {};
    hit.pt = treePoint;
    info.dwItemSpec = (DWORD)(DWORD_PTR)TreeView_HitTest(tree, &hit);
    sendTreeNotify(mainWindow, tree, &info.hdr, GN_CONTEXTMENU);
}

// ---- the context menu ------------------------------------------------------

static HHOOK gMenuHook = nullptr;
static std::vector<WORD> gMenuKeys;
static bool gMenuShown = false;

static LRESULT CALLBACK menuHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && !gMenuShown) {
        wchar_t className[16] = {};
        GetClassNameW((HWND)wParam, className, 16);
        CBT_CREATEWNDW* create = (CBT_CREATEWNDW*)lParam;
        bool isMenu = lstrcmpW(className, L"#32768") == 0 ||
                      (create->lpcs && IS_INTRESOURCE(create->lpcs->lpszClass) &&
                       LOWORD((ULONG_PTR)create->lpcs->lpszClass) == 32768);
        if (isMenu) {
            gMenuShown = true;
            // The menu takes Enter as a character; posted as one, it keeps
            // its place before any Escape that follows.
            for (WORD key : gMenuKeys)
                PostMessageW(gProgram.mainWindow, key == VK_RETURN ? WM_CHAR : WM_KEYDOWN,
                             key == VK_RETURN ? '\r' : key, 0);
        }
    }
    return CallNextHookEx(gMenuHook, code, wParam, lParam);
}

void answerNextMenu(const std::vector<WORD>& keys) {
    gMenuKeys = keys;
    gMenuShown = false;
    if (!gMenuHook)
        gMenuHook = SetWindowsHookExW(WH_CBT, menuHook, nullptr, GetCurrentThreadId());
}

bool menuWasShown() {
    return gMenuShown;
}

void stopAnsweringMenus() {
    if (gMenuHook)
        UnhookWindowsHookEx(gMenuHook);
    gMenuHook = nullptr;
    gMenuKeys.clear();
}

void pumpFor(DWORD milliseconds) {
    DWORD until = GetTickCount() + milliseconds;
    MSG message;
    do {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while ((int)(until - GetTickCount()) > 0);
}
