// The search over the tree view: the test of one node against the criteria
// and the pre-order walk from a start node.
#include "itemdialogs.h"

#include "sorting.h"
#include "treenode.h"
#include "widetext.h"

#include <string.h>
#include <wchar.h>

namespace {

enum { kNodeTextChars = 80 };

} // namespace

// Whether text contains part; both zero-terminated, letter case counts.
static bool containsText(const WCHAR* text, const WCHAR* part) {
    return part[0] == 0 || wcsstr(text, part) != nullptr;
}

static bool checkMatches(int checkedChoice, UINT box) {
    if (checkedChoice == 1)
        return box == kChecked;
    if (checkedChoice == 0)
        return box == kUnchecked;
    return true;
}

// The search date against the item's, read as "search date <relation> item
// date"; an item without a date, or a date that is no date at all, never
// matches.
static bool dateMatches(const FindCriteria* criteria, const NoteItem* item) {
    if (criteria->searchDate.wMonth == 0)
        return true;
    if (!hasDueDate(item))
        return false;
    SYSTEMTIME itemDate;
    memcpy(&itemDate, &item->dueDate, sizeof itemDate);
    FILETIME searchTime, itemTime;
    if (!SystemTimeToFileTime(&criteria->searchDate, &searchTime) ||
        !SystemTimeToFileTime(&itemDate, &itemTime))
        return false;
    LONG order = CompareFileTime(&searchTime, &itemTime);
    switch (criteria->dateRelation) {
    case 0:
        return order < 0;
    case 1:
        return order == 0;
    case 2:
        return order > 0;
    default:
        return false;
    }
}

int itemMatches(HWND tree, HTREEITEM node) {
    const FindCriteria* criteria = gFindCriteria;
    if (!criteria || !node)
        return 0;
    WCHAR text[kNodeTextChars];
    NodeFacts entry;
    if (!readNode(tree, node, TVIF_STATE | TVIF_PARAM, &entry, text, kNodeTextChars))
        return 0;

    // Local, terminated copies: the criteria's fields are never read past.
    WCHAR name[80], phrase[80];
    copyWideField((WideChar*)name, 80, (const WideChar*)criteria->nameText, 80);
    copyWideField((WideChar*)phrase, 80, (const WideChar*)criteria->phraseText, 80);

    if (!containsText(text, name))
        return 0;
    if (!checkMatches(criteria->checkedChoice, entry.box))
        return 0;
    const NoteItem* item = entry.item;
    if (!item)
        return 0;
    if (criteria->priorityChoice != 0 && item->priority != criteria->priorityChoice - 1)
        return 0;
    size_t categoryLength = wideLength((const WideChar*)criteria->categoryText, 64);
    if (categoryLength != 0 &&
        !sameTextIgnoreCase(item->category, wideLength(item->category, kCategoryChars),
                            (const WideChar*)criteria->categoryText, categoryLength))
        return 0;
    if (criteria->colourChoice != 0 && item->colour != criteria->colourChoice - 1)
        return 0;
    if (phrase[0] && (!item->note || !containsText((const WCHAR*)item->note, phrase)))
        return 0;
    return dateMatches(criteria, item) ? 1 : 0;
}

HTREEITEM nextInSearchOrder(HWND tree, HTREEITEM node) {
    if (!node)
        return nullptr;
    // A closed node's children are arranged when it opens, which a match
    // below it makes happen: they are walked in that order, not as filled.
    HTREEITEM child = TreeView_GetChild(tree, node);
    if (child && !(TreeView_GetItemState(tree, node, TVIS_EXPANDED) & TVIS_EXPANDED)) {
        sortChildren(tree, node);
        child = TreeView_GetChild(tree, node);
    }
    if (child)
        return child;
    for (HTREEITEM up = node; up; up = TreeView_GetParent(tree, up)) {
        HTREEITEM sibling = TreeView_GetNextSibling(tree, up);
        if (sibling)
            return sibling;
    }
    return nullptr;
}

int searchFrom(HWND tree, HTREEITEM start) {
    if (!gFindCriteria)
        return 0;
    // No stack of its own: deep trees cost nothing extra.
    for (HTREEITEM node = start; node; node = nextInSearchOrder(tree, node)) {
        if (itemMatches(tree, node)) {
            gFindCriteria->lastMatch = node;
            TreeView_EnsureVisible(tree, node);
            TreeView_SelectItem(tree, node);
            return 1;
        }
    }
    return 0;
}
