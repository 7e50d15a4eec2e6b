// Checks on the paths the desktop programs build from the setup script and
// from the command line. Both programs run with administrator rights and
// delete files, so nothing that names a place outside the installation
// directory is ever used.
#pragma once

#include <cstddef>

// 1 when the entry is a plain relative path below the installation
// directory: not empty, no drive or stream colon, no leading separator and no
// "." or ".." component.
int isSafeEntry(const char* entry);

// 1 when the directory is empty, a drive root ("C:\", "C:"), the root of the
// current drive ("\"), or a share root ("\\server\share"), once "." and ".."
// components are resolved.
int isRootDirectory(const char* directory);

// "%s\%s" into out. 0 when the result would not fit; out is then empty.
int joinPath(char* out, size_t size, const char* directory, const char* entry);

// 1 when the title can name a folder and an uninstall entry: not empty, no
// path separator, not "." or "..".
int isUsableTitle(const char* title);
