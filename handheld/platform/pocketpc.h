// The Pocket PC shell calls Twigmark uses, with the shell's own names, records
// and constants, implemented on desktop Windows. A device build includes the
// platform's aygshell.h and sipapi.h in place of this header.
//
// On the desktop the layer presents a 240 x 320 device screen: a 26-pixel
// navigation bar on top (the active window's title and, for dialogs set up
// with a Done button, an "ok" button), the application's window below it, and
// the 26-pixel menu bar at the bottom with the soft input panel (SIP) button.
// Dragging the navigation bar moves the whole device.
#pragma once

#include <windows.h>
#include <commctrl.h>

#ifndef RC_INVOKED
#include <shlobj.h> // SHGetSpecialFolderPathW, CSIDL_PERSONAL: the same call on the device

// ---- Extra controls ------------------------------------------------------
// Registers the "SIPPREF" class and the layer's own windows and starts the
// device's tap-and-hold recognition on tree views. Call once, early, on the
// window thread (the program's entry does, after InitCommonControlsEx).
// A "SIPPREF" child raises the SIP when an edit control among its siblings
// (or inside them: an editable combo box's field) gets the focus, and lowers
// it when the focus moves to one of them that takes no text.
BOOL SHInitExtraControls(void);

// ---- Menu bar ------------------------------------------------------------
#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010 // nToolBarId names a menu: one button per top-level entry

typedef struct tagSHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId; // menu-bar resource (RCDATA) of hInstRes
    HINSTANCE hInstRes;
    int nBmpId; // optional bitmap added to the bar's images
    int cBmpImages;
    HWND hwndMB; // out: the menu bar
    COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;

// Builds the menu bar at the bottom of the device screen. When hwndParent is
// a top-level window it becomes the device's application window: it loses
// its desktop caption and border and moves onto the device screen.
//
// The menu bar window answers the toolbar messages (TB_ENABLEBUTTON,
// TB_ADDBITMAP, TB_INSERTBUTTON, TB_ADDBUTTONS, TB_BUTTONCOUNT, ...) and:
//   SHCMBM_GETSUBMENU  wParam 0, lParam a button's command -> its popup HMENU
//   SHCMBM_GETMENU     -> the menu the bar was built with
//   SHCMBM_SETSUBMENU  wParam a button's command, lParam HMENU -> old popup
//   TB_SETTOOLTIPS     with the device's meaning: wParam the number of
//                      strings, lParam an array of LPCWSTR, one per button
//                      position; a null or empty string gives no tool tip.
// Button commands and the popups' commands reach hwndParent as WM_COMMAND.
// DestroyWindow(hwndMB) removes the bar.
BOOL SHCreateMenuBar(SHMENUBARINFO* pmbi);

#define SHCMBM_SETSUBMENU (WM_USER + 400)
#define SHCMBM_GETSUBMENU (WM_USER + 401)
#define SHCMBM_GETMENU (WM_USER + 402)

// ---- Soft input panel ----------------------------------------------------
#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004

// The shell's request to free memory when the device runs short.
#ifndef WM_HIBERNATE
#define WM_HIBERNATE 0x03FF
#endif

#ifndef SPI_SETSIPINFO
#define SPI_SETSIPINFO 224
#endif
#ifndef SPI_GETSIPINFO
#define SPI_GETSIPINFO 225
#endif

typedef struct tagSIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;
    RECT rcVisibleDesktop; // screen coordinates: below the navigation bar, above the SIP
    RECT rcSipRect;
    DWORD dwImDataSize;
    void* pvImData;
} SIPINFO, *PSIPINFO;

// SPI_GETSIPINFO fills *pvParam (cbSize must be set). SPI_SETSIPINFO raises
// or lowers the SIP by fdwFlags & SIPF_ON; a change sends WM_SETTINGCHANGE
// with wParam SPI_SETSIPINFO to the thread's top-level windows.
BOOL SHSipInfo(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni);

// Raises (SIPF_ON) or lowers (SIPF_OFF) the SIP.
BOOL SipShowIM(DWORD dwFlag);

// ---- Activation and setting changes --------------------------------------
typedef struct tagSHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

#define SHA_INPUTDIALOG 0x00000001

// Keep a window's SIP state across activation: on deactivation the SIP state
// is remembered in *psai, on activation it is restored.
BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai,
                        DWORD dwFlags);
BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai);

// For dialogs that take text input: hands the SIP-related messages on.
void SHInputDialog(HWND hwnd, UINT uMsg, WPARAM wParam);

// ---- Dialogs -------------------------------------------------------------
#define SHIDIM_FLAGS 0x0001

#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020
#define SHIDIF_WANTSCROLLBAR 0x0040
#define SHIDIF_CANCELBUTTON 0x0080

typedef struct tagSHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

// Call from WM_INITDIALOG. Full-screen dialogs (and the property sheet that
// holds a page given here) lose their desktop caption and fill the device
// screen below the navigation bar; with SHIDIF_DONEBUTTON the navigation
// bar shows "ok" while the dialog is active, which sends WM_COMMAND IDOK;
// with SHIDIF_CANCELBUTTON a cancel mark beside it sends IDCANCEL. While a
// full-screen dialog is active the SIP button floats at the bottom right.
BOOL SHInitDialog(PSHINITDLGINFO pshidi);

// ---- Property sheets -----------------------------------------------------
// On the device header flag 0x2000 asks for a full-screen sheet, and the
// sheet asks the application's callback which control version it was built
// for (PSCB_GETVERSION, answered with COMCTL32_VERSION 0x20C). On the
// desktop the same bit is the old wizard flag, so PropertySheetW goes
// through the layer: it takes the bit away, puts the sheet on the device
// screen below the navigation bar, lays the pages out across it above the
// tabs at the bottom, and asks the version query itself. The desktop's
// button row gives way to the navigation bar: "ok" confirms the sheet (every
// page gets PSN_APPLY), the cancel mark beside it and the Escape key cancel
// it. The desktop
// sheet's own callback messages other than PSCB_PRECREATE and
// PSCB_INITIALIZED are not handed on, since their numbers mean other things
// there.
#define PSH_MAXIMIZE 0x00002000
#define PSCB_GETVERSION 3

INT_PTR devicePropertySheet(LPCPROPSHEETHEADERW header);
#undef PropertySheet
#define PropertySheet devicePropertySheet
#define PropertySheetW devicePropertySheet

// ---- Tap and hold --------------------------------------------------------
#define SHRG_RETURNCMD 0x00000001
#define SHRG_NOTIFYPARENT 0x00000002
#define SHRG_LONGDELAY 0x00000008
#define SHRG_NOANIMATION 0x00000010

#define GN_CONTEXTMENU 1000

typedef struct tagSHRGI {
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown; // client coordinates of hwndClient
    DWORD dwFlags;
} SHRGINFO, *PSHRGINFO;

typedef struct tagNMRGINFO {
    NMHDR hdr;
    POINT ptAction; // screen coordinates
    DWORD dwItemSpec;
} NMRGINFO, *PNMRGINFO;

// Call on a button-down message: waits while the stylus stays down and still.
// Held long enough: with SHRG_RETURNCMD returns GN_CONTEXTMENU; otherwise
// sends WM_NOTIFY GN_CONTEXTMENU (NMRGINFO) to hwndClient, or to its parent
// with SHRG_NOTIFYPARENT, and returns GN_CONTEXTMENU. Otherwise returns 0.
//
// Tree views do this themselves on the device. Here the layer does it for
// every tree view of the thread once SHInitExtraControls has run: holding the
// left button still for half a second, or clicking the right button, sends
// GN_CONTEXTMENU (hwndFrom the tree view, idFrom its id, dwItemSpec the
// HTREEITEM hit) to the tree view's parent.
DWORD SHRecognizeGesture(SHRGINFO* shrg);

// ---- Starting programs ---------------------------------------------------
// Starts a program without waiting for it, as CreateProcess does on the
// device. "peghelp.exe" is the device's help viewer: here the command line
// "File.htm#topic" opens File.htm from the program's folder at that topic in
// the desktop's viewer for .htm files, when there is one. Returns FALSE
// when nothing could be started.
BOOL launchProgram(LPCWSTR imageName, LPCWSTR commandLine);

// ---- Memory --------------------------------------------------------------
// The shell's notice that program memory ran out: a message box owned by
// hwndOwner (may be null) with the owner's caption. grfFlags must be 0.
BOOL SHShowOutOfMemory(HWND hwndOwner, UINT grfFlags);

#endif // RC_INVOKED

// ---- Menu-bar resource layout (usable in .rc files) ------------------------
// RCDATA: WORD menu id, WORD button count, then per button 7 WORDs:
// iBitmap, idCommand, fsState, fsStyle, idString, 0, submenu index.
#ifndef I_IMAGENONE
#define I_IMAGENONE (-2)
#endif
#define NOMENU 0xFFFF
