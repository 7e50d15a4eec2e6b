// What the two pages of the item editor share while the sheet is shown.
// The record starts with the ItemEditorContext, so the address each page
// receives is the context's too.
#pragma once

#include "itemdialogs.h"

struct EditorSheet {
    ItemEditorContext context;
    HTREEITEM selected; // the tree's selection when the sheet opened (the root when none)
    NoteItem* item;     // its item, the one "Modify..." rewrites; null on the root or a heading
    HWND detailsPage;   // null until the Details page was first shown
    int detailsStored;  // the Details page's values are in place for this confirmation
    int dateKept;       // the picker could not show the item's date and the user left it
};

static_assert(offsetof(EditorSheet, context) == 0, "the pages receive the context's address");

INT_PTR CALLBACK generalPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK detailsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Stores the Details page's values into the item being edited, once per
// confirmation. The General page calls it before it appends or rewrites the
// item, so a new item gets the date and note whichever page the sheet
// confirms first.
void storeDetails(HWND detailsPage, EditorSheet* sheet);

// Both pages open the same help topic.
void openEditorHelp();

// Text of string-table entry id (empty when missing).
void loadText(UINT id, WCHAR* text, int textChars);
