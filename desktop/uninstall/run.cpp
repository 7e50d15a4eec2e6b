#include "uninstall.h"

#include "dialogs.h"
#include "resource.h"
#include "safepath.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

const char* directoryArgument(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while ((unsigned char)*p > ' ')
            ++p;
    }
    while (*p && (unsigned char)*p <= ' ')
        ++p;
    return p;
}

static int ask(const UninstallRun* run) {
    char title[kShortTextSize];
    char version[kShortTextSize];
    readTitle(&run->script, title);
    readVersion(&run->script, version);
    char format[64];
    if (!LoadStringA(run->instance, IDS_CONFIRM, format, sizeof format))
        format[0] = '\0';
    char question[256];
    snprintf(question, sizeof question, format, title, version);
    return MessageBoxA(nullptr, question, "Uninstall", MB_YESNO | MB_ICONQUESTION) != IDNO;
}

int runUninstall(HINSTANCE instance, const char* commandLine) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    UninstallRun run = {};
    run.instance = instance;
    const char* directory = directoryArgument(commandLine);
    if (strlen(directory) >= sizeof run.directory) {
        showStringMessage(instance, IDS_DIRECTORY_TOO_LONG, "Uninstall", MB_ICONSTOP);
        return 0;
    }
    strcpy(run.directory, directory);
    // Without a directory, or with a root, the script and its entries would
    // be taken from the top of a drive.
    if (isRootDirectory(run.directory)) {
        showStringMessage(instance, IDS_NO_DIRECTORY, "Uninstall", MB_ICONSTOP);
        return 0;
    }
    // The system would drop the trailing dots or blanks and work on another
    // folder, often the parent.
    if (endsInDotOrBlank(run.directory)) {
        showStringMessage(instance, IDS_DOT_OR_BLANK_DIRECTORY, "Uninstall", MB_ICONSTOP);
        return 0;
    }
    // A relative directory would be taken from wherever this program was
    // started, not from where the files were installed.
    if (!isFullPath(run.directory)) {
        showStringMessage(instance, IDS_RELATIVE_DIRECTORY, "Uninstall", MB_ICONSTOP);
        return 0;
    }
    if (!openScriptIn(&run.script, run.directory)) {
        showStringMessage(instance, IDS_DIRECTORY_TOO_LONG, "Uninstall", MB_ICONSTOP);
        return 0;
    }
    if (readCount(&run.script) > kMaxEntryCount) {
        showStringMessage(instance, IDS_DAMAGED_COUNT, "Uninstall", MB_ICONSTOP);
        return 0;
    }
    if (!ask(&run))
        return 0;
    runRemoveDialog(&run);
    return 0;
}
