#include "dialogs.h"

#include <stdio.h>

void centreDialog(HWND dialog) {
    RECT own;
    RECT desktop;
    if (!GetWindowRect(dialog, &own) || !GetWindowRect(GetDesktopWindow(), &desktop))
        return;
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    SetWindowPos(dialog, nullptr, (desktop.right - width) / 2, (desktop.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

void showStringMessage(HINSTANCE instance, UINT textId, const char* caption, UINT icon) {
    char text[256];
    if (!LoadStringA(instance, textId, text, sizeof text))
        text[0] = '\0';
    MessageBoxA(nullptr, text, caption, MB_OK | icon);
}

void showStringMessageWith(HINSTANCE instance, HWND owner, UINT textId, const char* caption,
                           UINT icon, const char* detail) {
    char format[256];
    if (!LoadStringA(instance, textId, format, sizeof format))
        format[0] = '\0';
    char text[1024];
    snprintf(text, sizeof text, format, detail);
    MessageBoxA(owner, text, caption, MB_OK | icon);
}
