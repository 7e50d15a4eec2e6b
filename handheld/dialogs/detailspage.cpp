// The Details page of the item editor: due date, task time with its unit
// and the note.
#include "editorsheet.h"

#include "notemodel.h"
#include "pocketpc.h"
#include "resource.h"
#include "widetext.h"

#include <string.h>

namespace {

enum { kTaskTimeBoxChars = 8 };

} // namespace

static const WCHAR* const kUnits[] = {L"Minute(s)", L"Day(s)", L"Week(s)", L"Month(s)"};

static BOOL initDetailsPage(HWND page, const PROPSHEETPAGEW* sheetPage) {
    EditorSheet* sheet = (EditorSheet*)sheetPage->lParam;
    SetWindowLongPtrW(page, DWLP_USER, (LONG_PTR)sheet);
    sheet->detailsPage = page;
    SendDlgItemMessageW(page, IDC_DETAILS_TASK_TIME, EM_LIMITTEXT, kTaskTimeBoxChars - 1, 0);
    for (const WCHAR* unit : kUnits)
        SendDlgItemMessageW(page, IDC_DETAILS_UNIT, CB_ADDSTRING, 0, (LPARAM)unit);

    HWND picker = GetDlgItem(page, IDC_DETAILS_DATE);
    const NoteItem* item = sheet->context.isNew ? nullptr : sheet->item;
    // The picker wants a record even for the no-date state.
    SYSTEMTIME date;
    memset(&date, 0, sizeof date);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, (LPARAM)&date);
    if (!item)
        return TRUE;
    if (hasDueDate(item)) {
        memcpy(&date, &item->dueDate, sizeof date);
        // A date the picker cannot show (outside its calendar, or damaged)
        // stays on the item unless the user sets another.
        if (!SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&date))
            sheet->dateKept = 1;
    }
    WCHAR taskTime[kTaskTimeChars];
    copyWideField((WideChar*)taskTime, kTaskTimeChars, item->taskTime, kTaskTimeChars);
    SetDlgItemTextW(page, IDC_DETAILS_TASK_TIME, taskTime);
    SendDlgItemMessageW(page, IDC_DETAILS_UNIT, CB_SETCURSEL, (WPARAM)item->taskTimeUnit, 0);
    if (item->note)
        SetDlgItemTextW(page, IDC_DETAILS_NOTE, (LPCWSTR)item->note);
    return TRUE;
}

static void storeDate(HWND page, NoteItem* target) {
    SYSTEMTIME date;
    if (readPickedDay(page, IDC_DETAILS_DATE, &date))
        memcpy(&target->dueDate, &date, sizeof target->dueDate);
}

// The note of the box, or null when it is empty; false when memory is short.
static bool storeNote(HWND page, const EditorSheet* sheet, NoteItem* target) {
    modelFree(target->note);
    target->note = nullptr;
    HWND box = GetDlgItem(page, IDC_DETAILS_NOTE);
    int length = GetWindowTextLengthW(box);
    if (length > 0) {
        WideChar* note = (WideChar*)modelAllocArray((size_t)length + 1, sizeof(WideChar));
        if (!note) {
            SHShowOutOfMemory(page, 0);
            return false;
        }
        GetWindowTextW(box, (LPWSTR)note, length + 1);
        target->note = note;
    }
    // A new item's note reaches the pane when its node is selected; the
    // pane still belongs to the node selected before.
    if (!sheet->context.isNew && sheet->context.notePane)
        SetWindowTextW(sheet->context.notePane, target->note ? (LPCWSTR)target->note : L"");
    return true;
}

void storeDetails(HWND page, EditorSheet* sheet) {
    if (!page || sheet->detailsStored)
        return;
    NoteItem* target = sheet->context.isNew ? sheet->context.workItem : sheet->item;
    if (!target)
        return;
    sheet->detailsStored = 1;
    if (!sheet->dateKept)
        storeDate(page, target);
    WCHAR taskTime[kTaskTimeBoxChars];
    GetDlgItemTextW(page, IDC_DETAILS_TASK_TIME, taskTime, kTaskTimeBoxChars);
    copyWideField(target->taskTime, kTaskTimeChars, (const WideChar*)taskTime, kTaskTimeBoxChars);
    target->taskTimeUnit = (int32_t)SendDlgItemMessageW(page, IDC_DETAILS_UNIT, CB_GETCURSEL, 0, 0);
    if (target->taskTimeUnit < -1 || target->taskTimeUnit > 3)
        target->taskTimeUnit = -1;
    storeNote(page, sheet, target);
}

static BOOL onDetailsNotify(HWND page, const NMHDR* header) {
    EditorSheet* sheet = (EditorSheet*)GetWindowLongPtrW(page, DWLP_USER);
    switch (header->code) {
    case PSN_APPLY:
        if (sheet)
            storeDetails(page, sheet);
        SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    case PSN_KILLACTIVE:
        SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
    case DTN_DATETIMECHANGE:
        if (sheet)
            sheet->dateKept = 0;
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK detailsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return initDetailsPage(page, (const PROPSHEETPAGEW*)lParam);
    case WM_NOTIFY:
        return onDetailsNotify(page, (const NMHDR*)lParam);
    case WM_HELP:
        openEditorHelp();
        return TRUE;
    default:
        return FALSE;
    }
}
