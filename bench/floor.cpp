#include "floor.h"

#include "bench_window.h"
#include "notemodel.h"
#include "program.h"
#include "sorting.h"
#include "treefill.h"
#include "viewplan.h"

#include <algorithm>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <unordered_map>

static HWND gFrame, gTree;
static HTREEITEM gRoot;
static std::vector<HTREEITEM> gNodes;

// A text as long as the benchmarks' names.
static const WCHAR kText[] = L"xY item 12345";

static LRESULT CALLBACK floorFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        NMHDR* header = (NMHDR*)lParam;
        if (header->code == TVN_GETDISPINFOW) {
            NMTVDISPINFOW* info = (NMTVDISPINFOW*)header;
            if ((info->item.mask & TVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0)
                lstrcpynW(info->item.pszText, kText, info->item.cchTextMax);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static int CALLBACK byRank(LPARAM a, LPARAM b, LPARAM ranks) {
    const int32_t* rank = (const int32_t*)ranks;
    return rank[a] - rank[b];
}

static TVINSERTSTRUCTW nodeInsert(HTREEITEM parent, LPARAM index) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    insert.item.pszText = LPSTR_TEXTCALLBACKW;
    insert.item.iImage = 4;
    insert.item.iSelectedImage = 4;
    insert.item.state = INDEXTOSTATEIMAGEMASK(1);
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.lParam = index;
    return insert;
}

HWND floorTree() {
    if (gTree)
        return gTree;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = floorFrameProc;
    frameClass.hInstance = instance;
    frameClass.lpszClassName = L"TwigmarkFloorFrame";
    RegisterClassW(&frameClass);
    // Shown beside the program's window, without taking the activation
    // from it (a deactivation is the program's cue to save).
    RECT place, frame;
    GetWindowRect(gProgram.treeView, &place);
    GetWindowRect(gProgram.mainWindow, &frame);
    int width = place.right - place.left, height = place.bottom - place.top;
    gFrame = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, L"TwigmarkFloorFrame", L"floor",
                             WS_POPUP, frame.right + 8, place.top, width, height, nullptr, nullptr,
                             instance, nullptr);
    // The program's styles, check boxes added after creation as it does.
    DWORD style = (DWORD)GetWindowLongW(gProgram.treeView, GWL_STYLE);
    gTree = CreateWindowExW(0, WC_TREEVIEWW, L"", (style & ~TVS_CHECKBOXES) | WS_VISIBLE, 0, 0,
                            width, height, gFrame, nullptr, instance, nullptr);
    SetWindowLongW(gTree, GWL_STYLE, (LONG)style);
    SendMessageW(gTree, CCM_SETVERSION, 0x20C, 0);
    SendMessageW(gTree, WM_SETFONT, (WPARAM)gProgram.normalFont, TRUE);
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 20, 2);
    ImageList_SetImageCount(images, 20);
    TreeView_SetImageList(gTree, images, TVSIL_NORMAL);
    ShowWindow(gFrame, SW_SHOWNOACTIVATE);
    return gTree;
}

HTREEITEM floorRoot() {
    return gRoot;
}

HTREEITEM floorNode(int32_t index) {
    return index >= 0 && (size_t)index < gNodes.size() ? gNodes[(size_t)index] : nullptr;
}

int32_t floorCount() {
    return (int32_t)gNodes.size();
}

double floorFill(const std::vector<int32_t>& parents, const std::vector<int32_t>& rootRank) {
    HWND tree = floorTree();
    double start = nowMs();
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    TVINSERTSTRUCTW root = nodeInsert(TVI_ROOT, -1);
    root.hInsertAfter = TVI_FIRST;
    gRoot = TreeView_InsertItem(tree, &root);
    gNodes.resize(parents.size());
    for (size_t i = 0; i < parents.size(); ++i) {
        TVINSERTSTRUCTW insert =
            nodeInsert(parents[i] < 0 ? gRoot : gNodes[(size_t)parents[i]], (LPARAM)i);
        gNodes[i] = TreeView_InsertItem(tree, &insert);
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    TreeView_SelectItem(tree, gRoot);
    floorSort(gRoot, rootRank);
    TreeView_Expand(tree, gRoot, TVE_EXPAND);
    return nowMs() - start;
}

double floorClear() {
    double start = nowMs();
    TreeView_DeleteAllItems(floorTree());
    double took = nowMs() - start;
    gNodes.clear();
    gRoot = nullptr;
    return took;
}

HTREEITEM floorAdd(HTREEITEM parent) {
    TVINSERTSTRUCTW insert = nodeInsert(parent, (LPARAM)gNodes.size());
    HTREEITEM made = TreeView_InsertItem(floorTree(), &insert);
    gNodes.push_back(made);
    return made;
}

HTREEITEM floorAppend(HTREEITEM parent) {
    HWND tree = floorTree();
    HTREEITEM made = floorAdd(parent);
    TreeView_SelectItem(tree, made);
    TreeView_EnsureVisible(tree, made);
    return made;
}

void floorSort(HTREEITEM node, const std::vector<int32_t>& rank) {
    TVSORTCB sort = {};
    sort.hParent = node;
    sort.lpfnCompare = byRank;
    sort.lParam = (LPARAM)rank.data();
    SendMessageW(floorTree(), TVM_SORTCHILDRENCB, FALSE, (LPARAM)&sort);
}

void identityRank(size_t count, std::vector<int32_t>* rank) {
    rank->resize(count);
    for (size_t i = 0; i < count; ++i)
        (*rank)[i] = (int32_t)i;
}

void rankByItems(const std::vector<int32_t>& siblings, const std::vector<NoteItem*>& items,
                 int arrangeKey, int ascending, std::vector<int32_t>* rank) {
    std::vector<int32_t> order(siblings);
    std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        return compareItems(items[(size_t)a], items[(size_t)b], arrangeKey, ascending) < 0;
    });
    if (rank->size() < items.size())
        identityRank(items.size(), rank);
    for (size_t p = 0; p < order.size(); ++p)
        (*rank)[(size_t)order[p]] = (int32_t)p;
}

void defaultViewShape(int hideChecked, std::vector<int32_t>* parents, std::vector<NoteItem*>* items,
                      std::vector<int32_t>* topLevel) {
    parents->clear();
    items->clear();
    topLevel->clear();
    ViewPlan plan;
    if (!planDefaultView(&gList, hideChecked, &plan))
        return;
    for (int32_t i = 0; i < plan.count; ++i) {
        parents->push_back(plan.nodes[i].parent == kPlanRoot ? -1 : plan.nodes[i].parent);
        items->push_back(plan.nodes[i].item);
        if (plan.nodes[i].parent == kPlanRoot)
            topLevel->push_back(i);
    }
    freeViewPlan(&plan);
}

void groupedViewShape(int viewMode, int hideChecked, std::vector<int32_t>* parents) {
    std::unordered_map<std::wstring, int32_t> groups;
    std::vector<int32_t> members;
    for (const NoteItem* item = gList.head; item; item = item->next) {
        if (hideChecked && item->checkState == kChecked)
            continue;
        WCHAR label[kLabelChars];
        groupLabel(item, viewMode, label, kLabelChars);
        auto found = groups.emplace(label, (int32_t)groups.size()).first;
        if ((size_t)found->second == members.size())
            members.push_back(0);
        ++members[(size_t)found->second];
    }
    parents->assign(members.size(), -1);
    for (size_t g = 0; g < members.size(); ++g)
        parents->insert(parents->end(), (size_t)members[g], (int32_t)g);
}

void viewShape(std::vector<int32_t>* parents, std::vector<int32_t>* rootRank) {
    if (gOptions.viewMode == kDefaultView) {
        std::vector<NoteItem*> items;
        std::vector<int32_t> top;
        defaultViewShape(gOptions.hideChecked, parents, &items, &top);
        identityRank(parents->size(), rootRank);
        rankByItems(top, items, gOptions.arrangeKey, gOptions.ascending, rootRank);
    } else {
        groupedViewShape(gOptions.viewMode, gOptions.hideChecked, parents);
        identityRank(parents->size(), rootRank);
    }
}

void keepBest(Figure* figure, double ms, double floor, int run) {
    if (run == 0 || ms < figure->ms)
        figure->ms = ms;
    if (run == 0 || floor < figure->floor)
        figure->floor = floor;
}

// The runs "--runs" asked for at every size; 0 for the defaults.
static int gRunsAsked;

int benchSizes(int argc, char** argv, int sizes[3]) {
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], "--runs") == 0)
            gRunsAsked = (int)std::min(std::max(strtol(argv[i + 1], nullptr, 10), 0L), 50L);
    for (int i = 1; i + 1 < argc; ++i) {
        if (strcmp(argv[i], "--sizes") != 0)
            continue;
        int count = 0;
        for (char* at = argv[i + 1]; *at && count < 3;) {
            long n = strtol(at, &at, 10);
            if (n > 0)
                sizes[count++] = (int)n;
            if (*at != ',')
                break;
            ++at;
        }
        if (count)
            return count;
    }
    sizes[0] = 1000;
    sizes[1] = 10000;
    sizes[2] = 100000;
    return 3;
}

int runsFor(int items) {
    if (gRunsAsked)
        return gRunsAsked;
    return items >= 100000 ? 1 : 3;
}

static void sizeName(int n, char* text, size_t size) {
    if (n % 1000 == 0)
        snprintf(text, size, "%dk", n / 1000);
    else
        snprintf(text, size, "%d", n);
}

void printFigureHeader(const char* first, const int* sizes, int count) {
    printf("%-46s", first);
    for (int s = 0; s < count; ++s) {
        char name[16], ms[24], floor[24];
        sizeName(sizes[s], name, sizeof name);
        snprintf(ms, sizeof ms, "%s ms", name);
        snprintf(floor, sizeof floor, "floor ms");
        printf(" %10s %9s %6s", ms, floor, "ratio");
    }
    printf("  check\n");
}

void printFigures(const char* label, const Figure* figures, int count, const char* check) {
    printf("%-46s", label);
    for (int s = 0; s < count; ++s) {
        // Where the control has nothing to do (no node changes), there is
        // no ratio: any time spent is the program's alone.
        if (figures[s].floor < 0)
            printf(" %10.1f %9s %6s", figures[s].ms, "", "");
        else if (figures[s].floor >= 0.005)
            printf(figures[s].floor < 1 ? " %10.1f %9.2f %6.2f" : " %10.1f %9.1f %6.2f",
                   figures[s].ms, figures[s].floor, figures[s].ms / figures[s].floor);
        else
            printf(" %10.1f %9s %6s", figures[s].ms, "0", "-");
    }
    printf("  %s\n", check ? check : "");
    fflush(stdout);
}

double timeNextFillClearing() {
    NoteList kept = gList;
    initList(&gList);
    double start = nowMs();
    fillTree(gProgram.treeView);
    double took = nowMs() - start;
    gList = kept;
    return took;
}

size_t privateBytes() {
    // Wine leaves PrivateUsage at 0: the committed private pages are
    // counted by walking the address space instead.
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&counters,
                             sizeof counters) &&
        counters.PrivateUsage)
        return counters.PrivateUsage;
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const BYTE* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = (const BYTE*)region.BaseAddress + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        if ((const BYTE*)region.BaseAddress + region.RegionSize <= at)
            break;
    }
    return total;
}
