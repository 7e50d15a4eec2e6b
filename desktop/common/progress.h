// The progress dialog both programs show while they work through the
// script's entries: the dialog itself, its bar and the walk over the entries.
#pragma once

#include "setupscript.h"

#include <windows.h>

// The work of one progress dialog; its result ends the dialog.
typedef INT_PTR (*ProgressWork)(HWND dialog, void* context);

// Shows the progress dialog centred and starts the work once the dialog is
// on the screen. Returns the work's result.
INT_PTR runProgressDialog(HINSTANCE instance, ProgressWork work, void* context);

// Sets the bar's range to the entry count plus closingSteps and returns the
// count (a negative count is 0). A count the bar cannot show marks a damaged
// script: the user is told (string damagedTextId, under the given caption)
// and -1 comes back.
long startProgress(HWND dialog, HINSTANCE instance, const SetupScript* script, UINT damagedTextId,
                   const char* caption, long closingSteps);

// Reads each entry just before its work, shows it, does the work and steps
// the bar, whether the work succeeded or not.
typedef void (*EntryWork)(HWND dialog, void* context, const char* entry);
void workThroughEntries(HWND dialog, const SetupScript* script, long count, EntryWork work,
                        void* context);

void setProgressText(HWND dialog, const char* label, const char* entry);
void stepProgress(HWND dialog);
