#include "program_support.h"

#include "document_builder.h"
#include "program.h"
#include "treenode.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>

std::wstring tempPath(const wchar_t* name) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    return std::wstring(base) + name;
}

void writeDocument(const std::wstring& path, const std::vector<ItemSpec>& items,
                   const FileOptions& fileOptions) {
    std::vector<ItemValues> values;
    for (const ItemSpec& s : items)
        values.push_back({s.name, s.id, s.parentId, s.level, s.checkState, s.priority, 0, 0,
                          nullptr, s.category, s.year, s.month, s.day});
    ViewOptions options = {};
    options.viewMode = fileOptions.viewMode;
    options.hideChecked = fileOptions.hideChecked;
    options.ascending = fileOptions.ascending;
    options.arrangeKey = fileOptions.arrangeKey;
    EXPECT_EQ(writeItems(path.c_str(), values.data(), values.size(), &options), 1);
}

static const wchar_t kKey[] = L"Software\\Twigmark";

void clearSettings() {
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
}

void setSettings(const std::wstring* defFile, const DWORD* hideEdit) {
    clearSettings();
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (defFile)
        RegSetValueExW(key, L"DefFile", 0, REG_SZ, (const BYTE*)defFile->c_str(),
                       (DWORD)((defFile->size() + 1) * sizeof(wchar_t)));
    if (hideEdit)
        RegSetValueExW(key, L"HideEdit", 0, REG_DWORD, (const BYTE*)hideEdit, sizeof *hideEdit);
    RegCloseKey(key);
}

std::wstring readDefFile() {
    wchar_t value[600] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"";
    RegQueryValueExW(key, L"DefFile", nullptr, nullptr, (BYTE*)value, &bytes);
    RegCloseKey(key);
    return value;
}

DWORD readHideEdit(bool* present) {
    DWORD value = 0, bytes = sizeof value, type = 0;
    HKEY key;
    *present = false;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    *present = RegQueryValueExW(key, L"HideEdit", nullptr, &type, (BYTE*)&value, &bytes) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
    RegCloseKey(key);
    return value;
}

// ---- message boxes --------------------------------------------------------

bool isDialogBox(HWND window) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return lstrcmpW(className, L"#32770") == 0;
}

static BOOL CALLBACK readBoxChild(HWND child, LPARAM lParam) {
    AnsweredBox* box = (AnsweredBox*)lParam;
    wchar_t className[32], text[512];
    GetClassNameW(child, className, 32);
    if (lstrcmpiW(className, L"Static") != 0)
        return TRUE;
    HICON icon = (HICON)SendMessageW(child, STM_GETICON, 0, 0);
    if (icon) {
        if (icon == LoadIconW(nullptr, IDI_HAND))
            box->icon = kStopIcon;
        else if (icon == LoadIconW(nullptr, IDI_QUESTION))
            box->icon = kQuestionIcon;
        else if (icon == LoadIconW(nullptr, IDI_ASTERISK))
            box->icon = kInformationIcon;
    }
    if (GetWindowTextW(child, text, 512) > 0 && box->text.empty())
        box->text = text;
    return TRUE;
}

AnsweredBox readDialogBox(HWND window) {
    AnsweredBox box = {};
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    box.caption = caption;
    box.owned = GetWindow(window, GW_OWNER) != nullptr;
    box.yesNo = GetDlgItem(window, IDYES) && GetDlgItem(window, IDNO);
    EnumChildWindows(window, readBoxChild, (LPARAM)&box);
    return box;
}

static Session* gSession = nullptr;
static HHOOK gHook = nullptr;

static void CALLBACK answerBox(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    AnsweredBox read = readDialogBox(window);
    SeenBox box = {read.caption, read.text, read.icon == kStopIcon, read.owned};
    if (gSession)
        gSession->boxes.push_back(box);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
}

static LRESULT CALLBACK boxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && isDialogBox((HWND)wParam))
        SetTimer((HWND)wParam, 1, 10, answerBox);
    return CallNextHookEx(gHook, code, wParam, lParam);
}

Session::Session(const std::wstring& commandLine, void (*beforeStart)()) {
    gSession = this;
    gHook = SetWindowsHookExW(WH_CBT, boxHook, nullptr, GetCurrentThreadId());
    initProgram();
    if (beforeStart)
        beforeStart();
    started = startInstance(GetModuleHandleW(nullptr), commandLine.c_str(), SW_SHOW) != 0;
    pump();
}

Session::~Session() {
    if (started && !ended)
        close();
    endProgram();
    UnhookWindowsHookEx(gHook);
    gHook = nullptr;
    gSession = nullptr;
}

void Session::pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ended = true;
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool Session::close() {
    if (!started || ended)
        return false;
    PostMessageW(gProgram.mainWindow, WM_CLOSE, 0, 0);
    MSG message;
    DWORD until = GetTickCount() + 10000;
    while (GetTickCount() < until) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_QUIT) {
            ended = true;
            return true;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return false;
}

// ---- the tree ----------------------------------------------------------------

static void outlineNode(HWND tree, HTREEITEM node, int depth, std::string* out) {
    for (; node; node = TreeView_GetNextSibling(tree, node)) {
        wchar_t text[128];
        NodeFacts shown;
        readNode(tree, node, TVIF_PARAM | TVIF_STATE, &shown, text, 128);
        out->append((size_t)depth * 2, ' ');
        if (!shown.item)
            out->append("*");
        else if (shown.box == kChecked)
            out->append("[x]");
        char narrow[256];
        WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        out->append(narrow);
        out->append("\n");
        outlineNode(tree, TreeView_GetChild(tree, node), depth + 1, out);
    }
}

std::string treeOutline(HWND tree) {
    std::string out;
    outlineNode(tree, TreeView_GetRoot(tree), 0, &out);
    return out;
}

RECT childRect(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, (POINT*)&r, 2);
    return r;
}

std::string nodeLabel(HWND tree, HTREEITEM node) {
    wchar_t text[300];
    if (!readNodeLabel(tree, node, text, 300))
        return "";
    char narrow[600];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

static HTREEITEM findBelow(HWND tree, HTREEITEM node, const char* label) {
    for (; node; node = TreeView_GetNextSibling(tree, node)) {
        if (nodeLabel(tree, node) == label)
            return node;
        HTREEITEM found = findBelow(tree, TreeView_GetChild(tree, node), label);
        if (found)
            return found;
    }
    return nullptr;
}

HTREEITEM findNode(HWND tree, const char* label) {
    return findBelow(tree, TreeView_GetRoot(tree), label);
}

std::string childLabels(HWND tree, HTREEITEM node) {
    std::string out;
    for (HTREEITEM child = TreeView_GetChild(tree, node); child;
         child = TreeView_GetNextSibling(tree, child)) {
        if (!out.empty())
            out += ",";
        out += nodeLabel(tree, child);
    }
    return out;
}
