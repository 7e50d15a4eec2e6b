#include "treefill.h"

#include "filledshape.h"
#include "notemodel.h"
#include "program.h"
#include "resource.h"
#include "sorting.h"
#include "treenotify.h"
#include "viewplan.h"
#include "widetext.h"

#include <stdio.h>

static HTREEITEM resetToRoot(HWND tree, const WCHAR* text, UINT state) {
    clearOpenNodes();
    TreeView_DeleteAllItems(tree);
    WCHAR title[kTitleChars];
    copyWideField((WideChar*)title, kTitleChars, (const WideChar*)text, kTitleChars);
    return insertRootNode(tree, title, kRootImage, state);
}

HTREEITEM newDocument(HWND tree) {
    // The nodes go before the records they point to. The caller stored the
    // pane (a change of the program's own) and shows the new selection.
    clearOpenNodes();
    TreeView_DeleteAllItems(tree);
    gProgram.documentChanged = 0;
    clearList(&gList);
    clearCategories(&gCategories);
    setTitle(&gList, kDefaultTitle);
    HTREEITEM root = resetToRoot(tree, (const WCHAR*)kDefaultTitle, 0);
    TreeView_SelectItem(tree, root);
    return root;
}

// The box of one node into its item.
static void takeNodeCheck(HWND tree, HTREEITEM node) {
    NodeFacts facts;
    if (readNode(tree, node, TVIF_PARAM | TVIF_STATE, &facts) && facts.item)
        facts.item->checkState = (uint16_t)facts.box;
}

bool takeTickedChecks(HWND tree) {
    if (gCheckChanges.all)
        return false;
    for (int i = 0; i < gCheckChanges.count; ++i)
        takeNodeCheck(tree, gCheckChanges.nodes[i]);
    clearCheckChanges();
    return true;
}

void refreshCheckStates(HWND tree, HTREEITEM node) {
    // Every other change of a box keeps its item in step: only the ticks
    // since the last read can differ, and each message costs the control a
    // search for the node, so only they are read while they are few.
    if (takeTickedChecks(tree))
        return;
    // An explicit stack of the nodes still to visit keeps deep trees off the
    // call stack; the walk is pre-order in display order.
    HTREEITEM child = TreeView_GetChild(tree, node);
    HTREEITEM* stack = nullptr;
    size_t depth = 0, room = 0;
    while (child) {
        NodeFacts facts;
        bool read = readNode(tree, child, TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN, &facts);
        if (read && facts.item)
            facts.item->checkState = (uint16_t)facts.box;
        // Each message costs the control a search for the node: a leaf,
        // which says it has no children, is not asked for its first child.
        HTREEITEM first = !read || facts.children ? TreeView_GetChild(tree, child) : nullptr;
        HTREEITEM next = TreeView_GetNextSibling(tree, child);
        if (first) {
            if (next) {
                if (depth == room) {
                    size_t grown = room ? room * 2 : 64;
                    HTREEITEM* bigger = (HTREEITEM*)modelAllocArray(grown, sizeof(HTREEITEM));
                    if (!bigger)
                        break; // out of memory: the states stay as last stored
                    if (stack)
                        memcpy(bigger, stack, depth * sizeof(HTREEITEM));
                    modelFree(stack);
                    stack = bigger;
                    room = grown;
                }
                stack[depth++] = next;
            }
            child = first;
        } else if (next) {
            child = next;
        } else {
            child = depth ? stack[--depth] : nullptr;
        }
    }
    modelFree(stack);
    // Every box below the root was read: the ticks since are all taken over.
    if (!child && node == TreeView_GetRoot(tree))
        clearCheckChanges();
}

void updateViewMenuChecks() {
    HMENU view = menuBarPopup(IDM_VIEW);
    if (!view)
        return;
    // A view the program cannot show is not shown: the tree and its mark
    // stay as they were.
    int mode = gOptions.viewMode;
    if (mode >= kDefaultView && mode <= kByPriority)
        CheckMenuRadioItem(view, IDM_VIEW_DEFAULT, IDM_VIEW_PRIORITY, IDM_VIEW_DEFAULT + mode,
                           MF_BYCOMMAND);
    CheckMenuItem(view, IDM_HIDE_CHECKED,
                  MF_BYCOMMAND | (gOptions.hideChecked ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(view, IDM_HIDE_NOTE_WINDOW,
                  MF_BYCOMMAND | (gOptions.hideNoteWindow ? MF_CHECKED : MF_UNCHECKED));
    HMENU arrange = GetSubMenu(view, VIEW_MENU_ARRANGE_POSITION);
    if (!arrange)
        return;
    CheckMenuRadioItem(arrange, IDM_ASCENDING, IDM_DESCENDING,
                       gOptions.ascending ? IDM_ASCENDING : IDM_DESCENDING, MF_BYCOMMAND);
    // A damaged file may carry any key: then no entry has the mark, not
    // even the one the previous document left.
    if (gOptions.arrangeKey >= kArrangeByName && gOptions.arrangeKey <= kArrangeByDate) {
        CheckMenuRadioItem(arrange, IDM_ARRANGE_FIRST, IDM_ARRANGE_LAST,
                           IDM_ARRANGE_FIRST + gOptions.arrangeKey, MF_BYCOMMAND);
    } else {
        for (UINT command = IDM_ARRANGE_FIRST; command <= IDM_ARRANGE_LAST; ++command)
            CheckMenuItem(arrange, command, MF_BYCOMMAND | MF_UNCHECKED);
    }
}

bool sameLabel(const WCHAR* a, const WCHAR* b) {
    return wcscmp(a, b) == 0;
}

HTREEITEM findChildByLabel(HWND tree, HTREEITEM parent, const WCHAR* label) {
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child;
         child = TreeView_GetNextSibling(tree, child)) {
        WCHAR text[kLabelChars];
        if (readNodeLabel(tree, child, text, kLabelChars) && sameLabel(text, label))
            return child;
    }
    return nullptr;
}

// The top-level nodes of the plan in plan order; their count, or -1 when
// memory ran short.
static int32_t planTopLevel(const ViewPlan* plan, int32_t** tops, NoteItem*** items) {
    int32_t count = 0;
    for (int32_t c = planFirstChild(plan, kPlanRoot); c != -1; c = plan->nextSibling[c])
        ++count;
    *tops = (int32_t*)modelAllocArray((size_t)count + 1, sizeof(int32_t));
    *items = (NoteItem**)modelAllocArray((size_t)count + 1, sizeof(NoteItem*));
    if (!*tops || !*items)
        return -1;
    int32_t k = 0;
    for (int32_t c = planFirstChild(plan, kPlanRoot); c != -1; c = plan->nextSibling[c], ++k) {
        (*tops)[k] = c;
        (*items)[k] = plan->nodes[c].item;
    }
    return count;
}

// The Default View from the plan: one insertion per node, each under a
// parent handle remembered by plan index, always at the end of its
// siblings. The top level goes in in the arrangement's order, each
// top-level node followed by its subtree (the plan's nodes are in
// pre-order, so a subtree is the run up to the next top-level node): the
// sort when the root opens then has nothing to move. True when the top
// level stands in the arrangement's order.
static bool fillDefaultView(HWND tree, HTREEITEM root) {
    ViewPlan plan;
    if (!planDefaultView(&gList, gOptions.hideChecked, &plan))
        return false; // out of memory: the root node alone
    int32_t *tops = nullptr, *order = nullptr;
    NoteItem** topItems = nullptr;
    int32_t topCount = planTopLevel(&plan, &tops, &topItems);
    HTREEITEM* handles = (HTREEITEM*)modelAllocArray((size_t)plan.count + 1, sizeof(HTREEITEM));
    if (topCount >= 0)
        order = (int32_t*)modelAllocArray((size_t)topCount + 1, sizeof(int32_t));
    bool arranged = false;
    if (handles && order) {
        arranged = arrangeOrder(topItems, topCount, order) != 0;
        for (int32_t k = 0; k < topCount; ++k) {
            int32_t first = tops[order[k]];
            int32_t end = order[k] + 1 < topCount ? tops[order[k] + 1] : plan.count;
            for (int32_t i = first; i < end; ++i) {
                const PlanNode* node = &plan.nodes[i];
                HTREEITEM parent = node->parent == kPlanRoot ? root : handles[node->parent];
                // A parent the control refused takes its subtree with it.
                handles[i] = parent ? insertItemNodeAs(tree, parent, node->item, node->icon,
                                                       node->checkState)
                                    : nullptr;
            }
        }
    }
    if (arranged) {
        // The record keeps the top level in the order it was inserted.
        for (int32_t k = 0; k < topCount; ++k)
            plan.nextSibling[tops[order[k]]] = k + 1 < topCount ? tops[order[k + 1]] : -1;
        plan.rootFirstChild = topCount ? tops[order[0]] : -1;
    }
    if (!order) {
        modelFree(handles);
        handles = nullptr; // nothing was inserted
    }
    modelFree(order);
    modelFree(tops);
    modelFree(topItems);
    // A drop copies its subtree from this record of what the fill made.
    keepFilledShape(&plan, handles);
    return arranged;
}

void fillTree(HWND tree) {
    HTREEITEM root = TreeView_GetRoot(tree);
    if (root)
        refreshCheckStates(tree, root);
    updateViewMenuChecks();
    int mode = gOptions.viewMode;
    if (mode < kDefaultView || mode > kByPriority)
        return;

    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    root = resetToRoot(tree, (const WCHAR*)gList.title, gList.rootState);
    // The grouped views' top level is group nodes, which every arrangement
    // takes as equal: their order stands as inserted.
    bool arranged = true;
    if (root) {
        bool suspended = suspendTreeWatch(tree);
        if (mode == kDefaultView)
            arranged = fillDefaultView(tree, root);
        else
            fillGroupedView(tree, root, mode);
        resumeTreeWatch(tree, suspended);
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    if (root) {
        TreeView_SelectItem(tree, root);
        setArrangedNode(arranged ? root : nullptr);
        TreeView_Expand(tree, root, TVE_EXPAND);
        setArrangedNode(nullptr);
    }
    InvalidateRect(tree, nullptr, TRUE);
}
