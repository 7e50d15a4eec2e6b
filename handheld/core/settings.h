// The two settings that outlive a run: the current note file ("DefFile") and
// whether the note pane is hidden ("HideEdit"), under
// HKEY_CURRENT_USER\Software\Twigmark.
#pragma once

#include <windows.h>

// Reads both settings at start-up; a non-empty command line replaces the
// stored path for this run. A path wrapped in one pair of double quotes is
// taken without them.
void loadSettings(HWND mainWindow, const WCHAR* commandLine);
void saveSettings();

// 0 when the command line names a path longer than the 259 characters a path
// holds. Cut, it would name another file; start-up refuses it instead.
int commandLineFits(const WCHAR* commandLine);

// The default note file: the documents folder and "\Note Tree.twk".
// 0 when the folder cannot be found.
int defaultNotePath(WCHAR* path, int pathChars);
