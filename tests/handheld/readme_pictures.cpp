// The README's pictures of the device screen, taken by `scripts/run
// --pictures`: the real program in this process on a note file, driven
// through its commands and dialogs as in the dialog tests, each screen
// copied off the display as a 240 x 320 bitmap once it has painted.
//
//   readme_pictures OUTPUT-FOLDER NOTE-FILE
#include "dialogs_support.h"
#include "program_support.h"

#include "pocketpc.h"
#include "program.h"
#include "resource.h"

#include <stdio.h>
#include <string>

static std::wstring gFolder;
static int gFailures = 0;

static bool writeBitmap(const std::wstring& path, HDC dc, HBITMAP picture, int width, int height) {
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    int rowBytes = (width * 3 + 3) & ~3;
    std::string pixels((size_t)rowBytes * height, '\0');
    if (!GetDIBits(dc, picture, 0, height, &pixels[0], (BITMAPINFO*)&info, DIB_RGB_COLORS))
        return false;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + (DWORD)pixels.size();
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &info, sizeof info, &written, nullptr) &&
              WriteFile(out, pixels.data(), (DWORD)pixels.size(), &written, nullptr);
    CloseHandle(out);
    return ok;
}

// The device screen starts at the navigation bar's top-left corner.
static void shoot(const wchar_t* name) {
    pumpFor(400);
    RECT nav = {};
    GetWindowRect(FindWindowW(L"PocketPcNavBar", nullptr), &nav);
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, 240, 320);
    HGDIOBJ old = SelectObject(copy, picture);
    BitBlt(copy, 0, 0, 240, 320, screen, nav.left, nav.top, SRCCOPY);
    SelectObject(copy, old);
    std::wstring path = gFolder + L"\\" + name + L".bmp";
    if (!writeBitmap(path, copy, picture, 240, 320)) {
        fprintf(stderr, "readme_pictures: could not write %ls\n", path.c_str());
        ++gFailures;
    }
    DeleteObject(picture);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
}

static void command(UINT id) {
    SendMessageW(gProgram.mainWindow, WM_COMMAND, id, 0);
}

static void expandTopLevel() {
    HWND tree = gProgram.treeView;
    HTREEITEM root = TreeView_GetRoot(tree);
    for (HTREEITEM node = TreeView_GetChild(tree, root); node;
         node = TreeView_GetNextSibling(tree, node))
        TreeView_Expand(tree, node, TVE_EXPAND);
    TreeView_EnsureVisible(tree, root);
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: readme_pictures OUTPUT-FOLDER NOTE-FILE\n");
        return 2;
    }
    gFolder = argv[1];
    clearSettings(); // the note pane shows, whatever an earlier run left
    Session session(argv[2]);
    if (!session.started) {
        fprintf(stderr, "readme_pictures: Twigmark did not start\n");
        return 1;
    }
    DialogDriver driver;
    SetForegroundWindow(gProgram.mainWindow);
    expandTopLevel();
    NoteItem* shown = itemNamed("Quarterly report");
    if (!shown)
        shown = gList.head;
    selectNode(nodeOf(shown));
    SetFocus(gProgram.treeView);
    shoot(L"main");

    command(IDM_VIEW_CATEGORY);
    expandTopLevel();
    shoot(L"grouped");
    command(IDM_VIEW_DEFAULT);
    expandTopLevel();
    selectNode(nodeOf(shown));

    driver.expect(L"Edit Item...", [](HWND sheet) {
        shoot(L"editor-general");
        // The panel is down for the rest, as after a tap on its button.
        SipShowIM(SIPF_OFF);
        PropSheet_SetCurSel(sheet, nullptr, 1);
        shoot(L"editor-details");
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    });
    command(IDM_MODIFY_ITEM);
    driver.expect(L"Find...", [](HWND find) {
        // A modal dialog shows once its loop first waits, which the script
        // running in that loop holds up.
        ShowWindow(find, SW_SHOW);
        SetDlgItemTextW(find, IDC_FIND_NAME, L"report");
        SendDlgItemMessageW(find, IDC_FIND_NAME, EM_SETSEL, 6, 6);
        pumpFor(100);
        SipShowIM(SIPF_OFF);
        shoot(L"find");
        SendMessageW(find, WM_COMMAND, IDCANCEL, 0);
    });
    command(IDM_FIND_ITEM);
    if (driver.ran != 2 || driver.leftOpen) {
        fprintf(stderr, "readme_pictures: a dialog did not show or did not close\n");
        ++gFailures;
    }
    session.close();
    return gFailures ? 1 : 0;
}
