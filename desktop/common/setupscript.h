// The reader of "Setup.ini", shared by Ferrywell and Ferryclear. It keeps only
// the script's path: every value is read from the file when it is needed, so a
// script that changed or vanished since the last read is seen as it is now.
#pragma once

enum {
    kShortTextSize = 64, // title and version, terminator included
    kPathSize = 260,     // every path and every longer value, terminator included
};

// The largest count the 16-bit progress bar can show once the closing phases
// are added: a larger count can only come from a damaged script.
const long kMaxEntryCount = 65533;

// The key below HKEY_LOCAL_MACHINE that holds the uninstall entries.
extern const char kUninstallKey[];

struct SetupScript {
    char path[kPathSize];
};

// Ferrywell: the current directory followed by "\Setup.ini". 0 when the
// current directory is unknown or the path would not fit.
int openScriptHere(SetupScript* script);
// Ferryclear: the installation directory followed by "\Setup.ini". 0 when the
// path would not fit.
int openScriptIn(SetupScript* script, const char* directory);

void readTitle(const SetupScript* script, char title[kShortTextSize]);
void readVersion(const SetupScript* script, char version[kShortTextSize]);
void readAppMgrIni(const SetupScript* script, char file[kPathSize]);
long readCount(const SetupScript* script);
// Entry n (1-based) of section "Files"; empty when the key is missing.
void readEntry(const SetupScript* script, long n, char entry[kPathSize]);

// The count as the C library's atol reads it (white space, one sign, digits),
// except that a number too large for a long is held at the nearest limit
// instead of overflowing.
long parseCount(const char* text);
