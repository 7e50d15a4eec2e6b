// The program entry's work: the single instance, the main window, its
// fonts and children, the settings and the first load.
#include "commands.h"
#include "itemdialogs.h"
#include "docsave.h"
#include "notefile.h"
#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "settings.h"
#include "treefill.h"
#include "treenotify.h"
#include "treenotify.h"

ProgramState gProgram;
NoteList gList;
ViewOptions gOptions;
CategoryList gCategories;

namespace {

enum {
    kTreeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                 TVS_SHOWSELALWAYS | TVS_CHECKBOXES,
    kPaneStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
    kImageCount = 20,
    kCommonControlsVersion = 0x20C,
};

} // namespace

int registerMainWindowClass(HINSTANCE instance, const WCHAR* className) {
    WNDCLASSW windowClass = {};
    if (GetClassInfoW(instance, className, &windowClass))
        return 1;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    return RegisterClassW(&windowClass) != 0;
}

static int createFonts() {
    HDC screen = GetDC(nullptr);
    int pixelsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    LOGFONTW font = {};
    font.lfHeight = -(9 * pixelsPerInch) / 72;
    font.lfWeight = FW_NORMAL;
    lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
    gProgram.normalFont = CreateFontIndirectW(&font);
    if (!gProgram.normalFont)
        return 0;
    font.lfItalic = TRUE;
    gProgram.italicFont = CreateFontIndirectW(&font);
    if (!gProgram.italicFont)
        return 0;
    font.lfItalic = FALSE;
    font.lfWeight = FW_BOLD;
    gProgram.boldFont = CreateFontIndirectW(&font);
    return gProgram.boldFont != nullptr;
}

static HIMAGELIST buildImageList(HINSTANCE instance) {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 11, 2);
    if (!images)
        return nullptr;
    for (int i = 0; i < kImageCount; ++i) {
        HICON icon = (HICON)LoadImageW(instance, MAKEINTRESOURCEW(IDI_IMAGE_FIRST + i), IMAGE_ICON,
                                       16, 16, 0);
        // A missing picture still takes its place, so indices keep their roles.
        if (!icon || ImageList_AddIcon(images, icon) < 0)
            ImageList_SetImageCount(images, (UINT)(i + 1));
        if (icon)
            DestroyIcon(icon);
    }
    return images;
}

static int createChildWindows(HWND window, HINSTANCE instance) {
    RECT client;
    GetClientRect(window, &client);
    ChildLayout layout = computeChildLayout(client.right, client.bottom, false);
    // Check boxes given at creation lose the states set at insertion; added
    // right after creation, before any node exists, the states hold.
    gProgram.treeView = CreateWindowExW(
        0, WC_TREEVIEWW, L"", kTreeStyle & ~TVS_CHECKBOXES, layout.tree.left, layout.tree.top,
        layout.tree.right, layout.tree.bottom, window, (HMENU)(INT_PTR)IDC_TREE, instance, nullptr);
    if (!gProgram.treeView)
        return 0;
    SetWindowLongW(gProgram.treeView, GWL_STYLE, kTreeStyle);
    SendMessageW(gProgram.treeView, CCM_SETVERSION, kCommonControlsVersion, 0);
    SendMessageW(gProgram.treeView, WM_SETFONT, (WPARAM)gProgram.normalFont, TRUE);
    followCheckBoxes(gProgram.treeView);
    HIMAGELIST images = buildImageList(instance);
    if (images)
        TreeView_SetImageList(gProgram.treeView, images, TVSIL_NORMAL);
    newDocument(gProgram.treeView);

    gProgram.notePane = CreateWindowExW(0, L"EDIT", L"", kPaneStyle, layout.pane.left,
                                        layout.pane.top, layout.pane.right, layout.pane.bottom,
                                        window, (HMENU)(INT_PTR)IDC_NOTE_PANE, instance, nullptr);
    if (gProgram.notePane)
        SendMessageW(gProgram.notePane, WM_SETFONT, (WPARAM)gProgram.normalFont, TRUE);
    CreateWindowExW(0, L"SIPPREF", L"", WS_CHILD, 0, 0, 5, 5, window, (HMENU)(INT_PTR)-1, instance,
                    nullptr);
    return 1;
}

// On the handheld the low bit of the handle brings the window's owned
// windows forward with it; the desktop wants the handle itself.
static void bringWindowForward(HWND window) {
#ifdef _WIN32_WCE
    SetForegroundWindow((HWND)((ULONG_PTR)window | 1));
#else
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
#endif
}

int startInstance(HINSTANCE instance, const WCHAR* commandLine, int showCommand) {
    gProgram.instance = instance;
    WCHAR className[64] = L"TWIGMARK8425";
    WCHAR title[100] = L"Twigmark";
    if (!LoadStringW(instance, IDS_WINDOW_CLASS, className, 64))
        lstrcpynW(className, L"TWIGMARK8425", 64);
    if (!LoadStringW(instance, IDS_APP_TITLE, title, 100))
        lstrcpynW(title, L"Twigmark", 100);

    HWND running = FindWindowW(className, title);
    if (running) {
        bringWindowForward(running);
        return 0;
    }
    if (!commandLineFits(commandLine)) {
        // Nothing is opened, created or stored: "DefFile" and its file stay
        // as they are.
        WCHAR text[200];
        if (!LoadStringW(instance, IDS_COMMAND_LINE_TOO_LONG, text, 200))
            lstrcpynW(text, L"The file name is longer than 259 characters.", 200);
        MessageBoxW(nullptr, text, title, MB_OK | MB_ICONSTOP);
        return 0;
    }
    if (!registerMainWindowClass(instance, className))
        return 0;

    SIPINFO sip = {};
    sip.cbSize = sizeof sip;
    int width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    if (SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0)) {
        width = sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left;
        height = sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top;
        if (!(sip.fdwFlags & SIPF_ON))
            height -= kMenuBarHeight;
    }
    HWND window = CreateWindowExW(0, className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  width, height, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 0;
    gProgram.mainWindow = window;
    if (!createFonts() || !createChildWindows(window, instance)) {
        DestroyWindow(window);
        return 0;
    }
    gProgram.itemMenu = buildItemMenu();
    gProgram.running = 1;
    loadSettings(window, commandLine);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    // A file that did not load whole is kept before the first save over it.
    gProgram.notePathDamaged = loadNoteFile(window, gProgram.notePath);
    fillTree(gProgram.treeView);
    return 1;
}

void initProgram() {
    memset(&gProgram, 0, sizeof gProgram);
    memset(&gOptions, 0, sizeof gOptions);
    initList(&gList);
    setTitle(&gList, kDefaultTitle);
    gFindCriteria = nullptr;
    memset(&gCategories, 0, sizeof gCategories);
    gDrag.dragging = false;
    installUserNotices();

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    SHInitExtraControls();
}

void endProgram() {
    clearList(&gList);
    clearCategories(&gCategories);
}

int runTwigmark(HINSTANCE instance, const WCHAR* commandLine, int showCommand) {
    initProgram();
    int exitCode = 0;
    if (startInstance(instance, commandLine, showCommand)) {
        HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!accelerators ||
                !TranslateAcceleratorW(gProgram.mainWindow, accelerators, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        exitCode = (int)message.wParam;
    }
    endProgram();
    return exitCode;
}
