#include "install.h"

#include "dialogs.h"
#include "resource.h"
#include "safepath.h"
#include "uninstallentry.h"

#include <commctrl.h>

static void refuseForeignEntry(HINSTANCE instance, const char* title) {
    char keyPath[kEntryKeySize];
    entryKeyPath(keyPath, title);
    showStringMessageWith(instance, nullptr, IDS_FOREIGN_ENTRY, "Setup", MB_ICONSTOP, keyPath);
}

// Once the directory is chosen, the title's entry must be free or this
// installation's own; else nothing is copied or written.
static int entryIsUsable(const InstallRun* run) {
    char title[kShortTextSize];
    readTitle(&run->script, title);
    if (entryIsFreeOrOurs(title, run->directory))
        return 1;
    refuseForeignEntry(run->instance, title);
    return 0;
}

// Refuses a script that would register a nameless entry or one that belongs
// to another program, or that claims more files than the progress bar can
// count.
static int scriptIsUsable(HINSTANCE instance) {
    SetupScript script;
    if (!openScriptHere(&script)) {
        showStringMessageWith(instance, nullptr, IDS_PATH_TOO_LONG, "Setup", MB_ICONSTOP,
                              "Setup.ini");
        return 0;
    }
    char title[kShortTextSize];
    readTitle(&script, title);
    if (!isUsableTitle(title)) {
        showStringMessage(instance, IDS_NO_TITLE, "Setup", MB_ICONSTOP);
        return 0;
    }
    if (!entryIsFreeOrOurs(title, nullptr)) {
        refuseForeignEntry(instance, title);
        return 0;
    }
    if (readCount(&script) > kMaxEntryCount) {
        showStringMessage(instance, IDS_DAMAGED_COUNT, "Setup", MB_ICONSTOP);
        return 0;
    }
    return 1;
}

int runSetup(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (!scriptIsUsable(instance))
        return 0;
    InstallRun run = {};
    run.instance = instance;
    if (!runDirectoryDialog(&run))
        return 0;
    if (!entryIsUsable(&run))
        return 0;
    if (!runCopyDialog(&run))
        return 0;
    launchAppManager(&run);
    return 0;
}
