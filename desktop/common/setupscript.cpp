#include "setupscript.h"

#include <limits.h>
#include <stdio.h>
#include <windows.h>

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

static void readValue(const SetupScript* script, const char* section, const char* key,
                      const char* fallback, char* out, DWORD size) {
    GetPrivateProfileStringA(section, key, fallback, out, size, script->path);
}

int openScriptHere(SetupScript* script) {
    char directory[kPathSize];
    DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory)
        return 0;
    return openScriptIn(script, directory);
}

int openScriptIn(SetupScript* script, const char* directory) {
    int written = snprintf(script->path, sizeof script->path, "%s\\Setup.ini", directory);
    if (written < 0 || written >= (int)sizeof script->path) {
        script->path[0] = '\0';
        return 0;
    }
    return 1;
}

void readTitle(const SetupScript* script, char title[kShortTextSize]) {
    readValue(script, "App", "Title", "", title, kShortTextSize);
}

void readVersion(const SetupScript* script, char version[kShortTextSize]) {
    readValue(script, "App", "Version", "1.0", version, kShortTextSize);
}

void readAppMgrIni(const SetupScript* script, char file[kPathSize]) {
    readValue(script, "App", "AppMgrIni", "", file, kPathSize);
}

long readCount(const SetupScript* script) {
    char text[kPathSize];
    readValue(script, "Files", "Count", "0", text, sizeof text);
    return parseCount(text);
}

void readEntry(const SetupScript* script, long n, char entry[kPathSize]) {
    char key[32];
    snprintf(key, sizeof key, "File%ld", n);
    readValue(script, "Files", key, "", entry, kPathSize);
}

long parseCount(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    int negative = 0;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        int digit = *text - '0';
        if (value > (LONG_MAX - digit) / 10)
            return negative ? LONG_MIN : LONG_MAX;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}
