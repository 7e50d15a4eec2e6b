// The shell's out-of-memory notice. It takes its caption from the window
// the user was working in, so the notice reads as that program's own.
#include "device.h"

BOOL SHShowOutOfMemory(HWND hwndOwner, UINT grfFlags) {
    if (grfFlags != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WCHAR caption[64] = L"";
    HWND top = hwndOwner ? GetAncestor(hwndOwner, GA_ROOT) : nullptr;
    if (!top || GetWindowTextW(top, caption, 64) <= 0)
        lstrcpynW(caption, L"Memory", 64);
    MessageBoxW(hwndOwner,
                L"Program memory is low. Close other programs or free some memory, then try again.",
                caption, MB_OK | MB_ICONSTOP);
    return TRUE;
}
