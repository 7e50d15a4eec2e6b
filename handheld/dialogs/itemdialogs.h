// The item dialogs that the commands open: the two-page item editor, Find,
// Modify Title and About, with the records they share with the commands.
#pragma once

#include "notetypes.h"

#include <windows.h>
#include <commctrl.h>

#include <stdint.h>

// Handed to both pages of the item editor and to Modify Title; lives in the
// launching command while the sheet or dialog is shown.
struct ItemEditorContext {
    int32_t isNew; // 1 "New", 0 "Modify..."
    HWND treeView;
    HWND notePane;
    NoteItem* workItem; // zero-filled record for a new item; null for Modify Title
};

// The search state of the current document; at most one exists.
struct FindCriteria {
    WCHAR nameText[80];
    int32_t priorityChoice; // 0 any, k = priority k - 1
    WCHAR categoryText[64]; // empty = any
    WCHAR phraseText[80];
    int32_t colourChoice;  // 0 any, k = colour k - 1
    int32_t checkedChoice; // 0 not checked, 1 checked, 2 either
    int32_t dateRelation;  // 0 less than, 1 equals, 2 greater than
    SYSTEMTIME searchDate; // month 0 = no date criterion
    HTREEITEM lastMatch;   // where the next "Find Item..." starts; null: the root node
};
static_assert(sizeof(void*) != 4 || sizeof(FindCriteria) == 484, "the search state is 484 bytes");

extern FindCriteria* gFindCriteria;

// Shows the item editor sheet for a new item (isNew 1) or the selected one.
// 0 when nothing was shown or nothing was created.
int openItemEditor(HWND mainWindow, HWND treeView, HWND notePane, int isNew);

// The Find dialog over gFindCriteria: 1 after "Find", 0 after "Cancel".
INT_PTR runFindDialog(HWND mainWindow);

// Pre-order search from start (may be null) to the end of the tree for a
// node whose item meets gFindCriteria; selects it, records it in lastMatch
// and returns 1.
int searchFrom(HWND tree, HTREEITEM start);

// The node after node in that walk, in the order the user sees once the
// nodes are open (a closed node's children are arranged first); null after
// the last node of the tree.
HTREEITEM nextInSearchOrder(HWND tree, HTREEITEM node);

// Modify Title over the root node of context->treeView.
void runModifyTitleDialog(HWND mainWindow, ItemEditorContext* context);

void runAboutDialog(HWND mainWindow);

// Fills the Priority, Colour and Category boxes of the General page or, with
// withAny, of the Find dialog, where each box starts with its "Any" entry,
// which shifts the other entries by one.
void fillItemBoxes(HWND dialog, int withAny);
// The day the date box id shows, its time of day zeroed, or all zero when
// the box holds no date. 0 when the box could not say: day is then unset.
int readPickedDay(HWND dialog, int id, SYSTEMTIME* day);

// Whether the node's item meets every criterion of gFindCriteria (0 when
// there is none). Nodes without an item never match.
int itemMatches(HWND tree, HTREEITEM node);
