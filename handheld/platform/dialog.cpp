// Dialogs in the device manner: full screen below the navigation bar, the
// Done ("ok") button in the navigation bar.
#include "device.h"

BOOL SHInitDialog(PSHINITDLGINFO pshidi) {
    if (!pshidi || !(pshidi->dwMask & SHIDIM_FLAGS) || !IsWindow(pshidi->hDlg) || !ensureDevice()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A property sheet page stands for its sheet.
    HWND dialog = GetAncestor(pshidi->hDlg, GA_ROOT);
    DWORD flags = pshidi->dwFlags;
    if (flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR))
        fitToDevice(dialog, deviceBand(kNavBarHeight, kDeviceHeight - kNavBarHeight));
    else if (flags & SHIDIF_SIZEDLG) {
        RECT place = visibleDesktop();
        if (!gDevice.sipUp)
            place.bottom -= kMenuBarHeight;
        fitToDevice(dialog, place);
    }
    if (flags & SHIDIF_DONEBUTTON)
        SetPropW(dialog, DONE_BUTTON_PROP, (HANDLE)1);
    else
        RemovePropW(dialog, DONE_BUTTON_PROP);
    if (flags & SHIDIF_SIPDOWN)
        SipShowIM(SIPF_OFF);
    showNavBar();
    refreshNavBar(dialog);
    return TRUE;
}
