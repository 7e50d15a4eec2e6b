// Where the item dialogs plug in until they are built: every entry reports
// that nothing was shown, so the commands that open them change nothing.
#include "itemdialogs.h"

int openItemEditor(HWND, HWND, HWND, int) {
    return 0;
}

INT_PTR runFindDialog(HWND) {
    return 0;
}

int searchFrom(HWND, HTREEITEM) {
    return 0;
}

void runModifyTitleDialog(HWND, ItemEditorContext*) {}

void runAboutDialog(HWND) {}
