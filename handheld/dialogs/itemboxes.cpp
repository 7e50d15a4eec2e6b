// The Priority, Colour, Category and date boxes shared by the item editor and
// the Find dialog.
#include "itemdialogs.h"

#include "program.h"
#include "resource.h"

#include <stdio.h>
#include <string.h>

void fillItemBoxes(HWND dialog, int withAny) {
    HWND priority = GetDlgItem(dialog, withAny ? IDC_FIND_PRIORITY : IDC_GENERAL_PRIORITY);
    HWND colour = GetDlgItem(dialog, withAny ? IDC_FIND_COLOUR : IDC_GENERAL_COLOUR);
    HWND category = GetDlgItem(dialog, withAny ? IDC_FIND_CATEGORY : IDC_GENERAL_CATEGORY);
    SendMessageW(category, CB_LIMITTEXT, kCategoryChars, 0);
    if (withAny)
        SendMessageW(priority, CB_ADDSTRING, 0, (LPARAM)L"Any");
    for (int shown = 1; shown <= 10; ++shown) {
        WCHAR text[8];
        _snwprintf(text, 8, L"%d", shown);
        text[7] = 0;
        SendMessageW(priority, CB_ADDSTRING, 0, (LPARAM)text);
    }
    if (withAny)
        SendMessageW(colour, CB_ADDSTRING, 0, (LPARAM)L"(Any)");
    for (const ColourEntry& entry : kColours) {
        WCHAR name[32];
        MultiByteToWideChar(CP_ACP, 0, entry.name, -1, name, 32);
        name[31] = 0;
        SendMessageW(colour, CB_ADDSTRING, 0, (LPARAM)name);
    }
    if (withAny)
        SendMessageW(category, CB_ADDSTRING, 0, (LPARAM)L"Any");
    // Filled once, with room for every name asked for at the start rather
    // than grown name by name.
    SendMessageW(category, CB_INITSTORAGE, (WPARAM)gCategories.count,
                 (LPARAM)gCategories.count * kCategoryChars * sizeof(WCHAR));
    for (int i = 0; i < gCategories.count; ++i) {
        WCHAR name[kCategoryChars];
        const WideChar* stored = gCategories.names[i];
        int n = 0;
        for (; n < kCategoryChars - 1 && stored[n]; ++n)
            name[n] = (WCHAR)stored[n];
        name[n] = 0;
        SendMessageW(category, CB_ADDSTRING, 0, (LPARAM)name);
    }
}

int readPickedDay(HWND dialog, int id, SYSTEMTIME* day) {
    memset(day, 0, sizeof *day);
    LRESULT answer = SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, (LPARAM)day);
    if (answer == GDT_VALID) {
        day->wHour = day->wMinute = day->wSecond = day->wMilliseconds = 0;
        return 1;
    }
    if (answer == GDT_NONE) {
        memset(day, 0, sizeof *day);
        return 1;
    }
    return 0;
}
