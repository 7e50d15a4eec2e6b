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
#define DONE_BUTTON_PROP L"PocketPcDoneButton"

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

// Tap-and-hold on tree views: the thread's message hook.
LRESULT CALLBACK gestureMessageHook(int code, WPARAM wParam, LPARAM lParam);

// Maps "peghelp.exe" command lines to the help file's address beside the
// program; FALSE when the command line names no .htm file.
BOOL helpAddress(LPCWSTR programFolder, LPCWSTR commandLine, LPWSTR address, int addressChars);
