// The Find dialog: shows the search criteria of the document and stores the
// user's choice back into them on "Find".
#include "itemdialogs.h"

#include "pocketpc.h"
#include "resource.h"
#include "widetext.h"

#include <string.h>

namespace {

enum { kFindTextChars = 80, kFindCategoryChars = 64, kEqualsTo = 1 };

} // namespace

static const WCHAR* const kRelations[] = {L"Less Than", L"Equals To", L"Greater Than"};

static void setPickerDate(HWND dialog, const SYSTEMTIME* date) {
    HWND picker = GetDlgItem(dialog, IDC_FIND_DATE);
    if (date && date->wMonth != 0 &&
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)date))
        return;
    // The picker wants a record even for the no-date state.
    SYSTEMTIME none;
    memset(&none, 0, sizeof none);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, (LPARAM)&none);
}

// The stored category shows as the first entry that begins with it; the
// "Any" entry comes last in that search, so a category such as "An" is not
// taken for "Any".
static void selectCategory(HWND dialog, const WCHAR* category) {
    HWND box = GetDlgItem(dialog, IDC_FIND_CATEGORY);
    if (category[0] == 0 || SendMessageW(box, CB_SELECTSTRING, 0, (LPARAM)category) == CB_ERR)
        SendMessageW(box, CB_SETCURSEL, 0, 0);
}

static BOOL initFindDialog(HWND dialog, FindCriteria* criteria) {
    SetWindowLongPtrW(dialog, DWLP_USER, (LONG_PTR)criteria);
    SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&init);
    SendDlgItemMessageW(dialog, IDC_FIND_NAME, EM_LIMITTEXT, kFindTextChars, 0);
    SendDlgItemMessageW(dialog, IDC_FIND_PHRASE, EM_LIMITTEXT, kFindTextChars, 0);
    fillItemBoxes(dialog, 1);
    for (const WCHAR* relation : kRelations)
        SendDlgItemMessageW(dialog, IDC_FIND_RELATION, CB_ADDSTRING, 0, (LPARAM)relation);

    WCHAR text[kFindTextChars];
    copyWideField((WideChar*)text, kFindTextChars, (const WideChar*)criteria->nameText,
                  kFindTextChars);
    SetDlgItemTextW(dialog, IDC_FIND_NAME, text);
    copyWideField((WideChar*)text, kFindTextChars, (const WideChar*)criteria->phraseText,
                  kFindTextChars);
    SetDlgItemTextW(dialog, IDC_FIND_PHRASE, text);
    WCHAR category[kFindCategoryChars];
    copyWideField((WideChar*)category, kFindCategoryChars, (const WideChar*)criteria->categoryText,
                  kFindCategoryChars);
    selectCategory(dialog, category);
    SendDlgItemMessageW(dialog, IDC_FIND_PRIORITY, CB_SETCURSEL, (WPARAM)criteria->priorityChoice,
                        0);
    SendDlgItemMessageW(dialog, IDC_FIND_COLOUR, CB_SETCURSEL, (WPARAM)criteria->colourChoice, 0);
    CheckDlgButton(dialog, IDC_FIND_CHECKED, (UINT)criteria->checkedChoice);
    SendDlgItemMessageW(dialog, IDC_FIND_RELATION, CB_SETCURSEL, (WPARAM)criteria->dateRelation, 0);
    setPickerDate(dialog, &criteria->searchDate);
    return TRUE;
}

static int selectedIndex(HWND dialog, int id, int fallback) {
    LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return index >= 0 ? (int)index : fallback;
}

static void storeCriteria(HWND dialog, FindCriteria* criteria) {
    WCHAR text[kFindTextChars];
    GetDlgItemTextW(dialog, IDC_FIND_NAME, text, kFindTextChars);
    copyWideField((WideChar*)criteria->nameText, 80, (const WideChar*)text, kFindTextChars);
    GetDlgItemTextW(dialog, IDC_FIND_PHRASE, text, kFindTextChars);
    copyWideField((WideChar*)criteria->phraseText, 80, (const WideChar*)text, kFindTextChars);
    criteria->categoryText[0] = 0;
    if (selectedIndex(dialog, IDC_FIND_CATEGORY, 0) > 0) {
        WCHAR category[kFindCategoryChars];
        GetDlgItemTextW(dialog, IDC_FIND_CATEGORY, category, kFindCategoryChars);
        copyWideField((WideChar*)criteria->categoryText, 64, (const WideChar*)category,
                      kFindCategoryChars);
    }
    criteria->priorityChoice = selectedIndex(dialog, IDC_FIND_PRIORITY, 0);
    criteria->colourChoice = selectedIndex(dialog, IDC_FIND_COLOUR, 0);
    criteria->dateRelation = selectedIndex(dialog, IDC_FIND_RELATION, kEqualsTo);
    criteria->checkedChoice = (int32_t)IsDlgButtonChecked(dialog, IDC_FIND_CHECKED);
    SYSTEMTIME date;
    if (readPickedDay(dialog, IDC_FIND_DATE, &date))
        criteria->searchDate = date;
}

// "Clear" shows the widest criteria but unticks "Checked": what it then
// finds is the items that are not checked.
static void clearCriteria(HWND dialog) {
    SetDlgItemTextW(dialog, IDC_FIND_NAME, L"");
    SetDlgItemTextW(dialog, IDC_FIND_PHRASE, L"");
    SendDlgItemMessageW(dialog, IDC_FIND_CATEGORY, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(dialog, IDC_FIND_PRIORITY, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(dialog, IDC_FIND_COLOUR, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(dialog, IDC_FIND_RELATION, CB_SETCURSEL, kEqualsTo, 0);
    setPickerDate(dialog, nullptr);
    CheckDlgButton(dialog, IDC_FIND_CHECKED, BST_UNCHECKED);
    SetFocus(GetDlgItem(dialog, IDC_FIND_NAME));
}

static BOOL onFindCommand(HWND dialog, UINT command) {
    FindCriteria* criteria = (FindCriteria*)GetWindowLongPtrW(dialog, DWLP_USER);
    switch (command) {
    case IDOK:
        if (criteria)
            storeCriteria(dialog, criteria);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_FIND_CLEAR:
        clearCriteria(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

static INT_PTR CALLBACK findDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return initFindDialog(dialog, (FindCriteria*)lParam);
    case WM_COMMAND:
        return onFindCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}

INT_PTR runFindDialog(HWND mainWindow) {
    if (!gFindCriteria)
        return 0;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FIND),
                                     mainWindow, findDialogProc, (LPARAM)gFindCriteria);
    return result == 1 ? 1 : 0;
}
