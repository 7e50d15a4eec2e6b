// Saving the document from the window, and telling the user when a load or
// a save failed.
#pragma once

#include <windows.h>

// Brings the model up to date from the window (the note pane, the check
// boxes) and writes the note file. Nonzero on success.
int saveDocument(HWND tree, const WCHAR* path);

// The save for every command that writes the document over a file:
// closing, "Open...", "New File...", "Save As...". When *damaged is set, the
// file at path did not load whole; before it is replaced, its bytes are
// kept beside it under a name that no file has ("Note Tree (damaged).twk",
// then "Note Tree (damaged 2).twk", ...), *damaged is cleared and, once the
// document is written, the user is told where the original is. When the
// original cannot be kept, nothing is written and 0 is returned (the caller
// shows the save error, as for any failed save). damaged may be null, or
// point to 0: then this is saveDocument. Pass &gProgram.notePathDamaged
// when path is the current note file; a save to another name needs none.
// When *damaged is kFileUnread the file was never read: unless the user has
// changed the document (gProgram.documentChanged) nothing is written and the
// save succeeds, for the file holds all there is; after a change the file is
// treated as damaged.
int saveKeepingDamaged(HWND tree, const WCHAR* path, int* damaged);

// Loads path into the emptied document and tells the user when that failed.
// Returns the NoteFileState for gProgram.notePathDamaged.
int loadNoteFile(HWND owner, const WCHAR* path);

void showSaveError(HWND owner);
void showLoadError(HWND owner);

// Model code tells the user "Storage is full..." through this handler.
void installUserNotices();
