// Dialog helpers shared by Ferrywell and Ferryclear: the centring of their
// dialogs and the items of the progress dialog both programs show.
#pragma once

#include "ids.h"

#include <windows.h>

enum {
    // Posted by the progress dialog to itself so that it is on the screen
    // before its work starts.
    WM_START_WORK = WM_USER + 10,
};

// Moves the dialog to the middle of the desktop without resizing it.
void centreDialog(HWND dialog);

// A message box with no owner, text from the string table.
void showStringMessage(HINSTANCE instance, UINT textId, const char* caption, UINT icon);
// The same with one "%s" of the string filled in (texts cut to the buffer,
// never written past it).
void showStringMessageWith(HINSTANCE instance, HWND owner, UINT textId, const char* caption,
                           UINT icon, const char* detail);
