// The desktop stand-in for the device screen: its geometry, the layer's own
// windows and the state they share. Private to the layer (and its tests).
#pragma once

#include "pocketpc.h"

enum {
    kDeviceWidth = 240,
    kDeviceHeight = 320,
    kNavBarHeight = 26,
    kMenuBarHeight = 26,
    kSipHeight = 80,
    kHoldMilliseconds = 500,
    kLongHoldMilliseconds = 1000,
};

#define NAVBAR_CLASS L"PocketPcNavBar"
#define MENUBAR_CLASS L"menu_worker"
#define SIPPANEL_CLASS L"PocketPcSipPanel"
#define SIPPREF_CLASS L"SIPPREF"
#define SIPBUTTON_CLASS L"PocketPcSipButton"
#define DONE_BUTTON_PROP L"PocketPcDoneButton"
#define CANCEL_BUTTON_PROP L"PocketPcCancelButton"
#define FULL_SCREEN_PROP L"PocketPcFullScreen"
#define FLAT_PROP L"PocketPcFlat"

struct DeviceScreen {
    POINT origin; // screen position of the device's top-left corner
    BOOL sipUp;
    BOOL ready;
    HWND navBar;
    HWND sipPanel;
    HHOOK activationHook;
    HHOOK messageHook;
};

extern DeviceScreen gDevice;

// Registers the classes and starts the hooks once; FALSE when that failed.
BOOL ensureDevice(void);

// Screen rectangle of a band of the device screen, from its top edge.
RECT deviceBand(int top, int height);
RECT visibleDesktop(void);
RECT sipRect(void);

// Takes a desktop window's caption and border away and puts it on the
// device screen at the given band.
void fitToDevice(HWND window, RECT screenRect);

// Moves every top-level window of the thread, and the device, by dx, dy.
void moveDevice(int dx, int dy);

// The navigation bar: created on first use; shows the active window.
HWND showNavBar(void);
void refreshNavBar(HWND active);
LRESULT CALLBACK navBarProc(HWND navBar, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK menuBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK sipPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
void showSipPanel(BOOL up);
// Puts the SIP, when it is up, above a window that was just activated.
void raiseSipPanel(void);

// The SIP button's picture, a small keyboard, on the menu bar and on the
// floating SIP button.
void drawSipGlyph(HDC dc, RECT r, BOOL pressed);

// A window that covers the menu bar (a full-screen dialog or sheet) keeps
// the SIP reachable through the floating SIP button at the menu bar's
// place, shown while such a window is active.
LRESULT CALLBACK sipButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
void refreshSipButton(HWND active);

// The SIPPREF control: raises the SIP when an edit control of its parent
// gets the focus and lowers it on a control that takes no text.
LRESULT CALLBACK sipPrefProc(HWND pref, UINT message, WPARAM wParam, LPARAM lParam);
void noteFocusChange(HWND focus);

// The device draws a dialog control's border as one flat line, where the
// desktop's dialogs turn it into a two-pixel sunken edge that leaves the
// control's content less room than its layout gives it. For the controls of
// dialogs set up by the layer and of full-screen sheets' pages.
void flattenControls(HWND dialog);

// Puts a dialog or sheet on the whole screen below the navigation bar, over
// the menu bar, and keeps it reachable above the SIP from then on: it ends
// at the SIP's top edge and, when it scrolls, scrolls its controls into
// view (a sheet lays its pages out again instead).
void makeFullScreen(HWND window, BOOL scrolls);

// A full-screen window with the SIP up keeps its controls reachable: it
// shrinks to the visible desktop and scrolls when its controls reach below.
void fitAboveSip(HWND window);
// Scrolls a full-screen window so that the control shows above the SIP.
void revealControl(HWND control);

// Tap-and-hold on tree views: the thread's message hook.
LRESULT CALLBACK gestureMessageHook(int code, WPARAM wParam, LPARAM lParam);

// Maps "peghelp.exe" command lines to the help file's address beside the
// program; FALSE when the command line names no .htm file.
BOOL helpAddress(LPCWSTR programFolder, LPCWSTR commandLine, LPWSTR address, int addressChars);
