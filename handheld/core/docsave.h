// Saving the document from the window, and telling the user when a load or
// a save failed.
#pragma once

#include <windows.h>

// Brings the model up to date from the window (the note pane, the check
// boxes) and writes the note file. Nonzero on success.
int saveDocument(HWND tree, const WCHAR* path);

void showSaveError(HWND owner);
void showLoadError(HWND owner);

// Model code tells the user "Storage is full..." through this handler.
void installUserNotices();
