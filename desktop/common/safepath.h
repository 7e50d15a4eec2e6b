// Checks on the paths the desktop programs build from the setup script and
// from the command line. Both programs run with administrator rights and
// delete files, so nothing that names a place outside the installation
// directory is ever used.
#pragma once

#include <stddef.h>

// 1 when the entry is a plain relative path below the installation
// directory: not empty, no drive or stream colon, no leading separator and no
// "." or ".." component.
int isSafeEntry(const char* entry);

// 1 when the directory is empty, a drive root ("C:\", "C:"), the root of the
// current drive ("\"), or a share root ("\\server\share"), once "." and ".."
// components are resolved. A device path ("\\?\...", "\\.\...", "\??\...")
// counts as one too: it can name a volume or a share by forms the text checks
// cannot see through, and nobody types or browses to one.
int isRootDirectory(const char* directory);

// 1 when the last component (trailing separators aside) ends in a dot or a
// blank. The system drops those characters, so such a name means another
// folder, often the parent itself.
int endsInDotOrBlank(const char* directory);

// 1 for "X:\..." or "\\server\share...": a path that means the same folder
// whatever the current directory and drive.
int isFullPath(const char* directory);

// "%s\%s" into out. 0 when the result would not fit; out is then empty.
int joinPath(char* out, size_t size, const char* directory, const char* entry);

// 1 when the title can name a folder and an uninstall entry: not empty, no
// path separator, and not ending in a dot or a blank (which also rules out
// ".", ".." and titles made only of dots and blanks).
int isUsableTitle(const char* title);
