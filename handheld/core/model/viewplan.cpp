#include "viewplan.h"

#include "idvalues.h"
#include "keymap.h"
#include "notemodel.h"

#include <string.h>

namespace {

// One open node of the pre-order walk: the plan node and the next item of
// the list of items waiting to become its children.
struct Frame {
    int32_t node;
    int32_t nextChild;
};

// What the planner reads of a candidate, kept beside its pointer: the walks
// below visit the candidates out of list order, and reading these from the
// records themselves would touch a scattered record each time.
struct Candidate {
    uint32_t id, parentId;
    uint16_t icon, checkState;
    bool topLevel;
};

struct Builder {
    ViewPlan* plan;
    NoteItem** items;     // the shown candidates in list order
    Candidate* facts;     // per candidate, what the walks read
    int32_t* nextWaiting; // per candidate: the next candidate with the same parent, or -1
    int32_t* lastChild;   // per node plus root: last child, for appending
    IdValues waiting;     // parent identifier -> first candidate waiting for it
    int32_t rootSlot;
    Frame* stack; // the open nodes of the walk, room for frames of them
    size_t frames;
};

} // namespace

static int32_t appendNode(Builder* b, int32_t candidate, int32_t parent) {
    ViewPlan* plan = b->plan;
    int32_t node = plan->count++;
    const Candidate& facts = b->facts[candidate];
    plan->nodes[node] = {b->items[candidate], parent, facts.icon, facts.checkState};
    plan->firstChild[node] = -1;
    plan->nextSibling[node] = -1;
    b->lastChild[node] = -1;
    int32_t up = parent == kPlanRoot ? b->rootSlot : parent;
    if (b->lastChild[up] == -1)
        plan->firstChild[up] = node;
    else
        plan->nextSibling[b->lastChild[up]] = node;
    b->lastChild[up] = node;
    return node;
}

// The items waiting for this identifier, handed over once: the first node in
// pre-order that carries it takes them all, so every item is placed at most
// once and a cycle ends the walk instead of repeating.
static int32_t takeWaiting(Builder* b, uint32_t id) {
    int32_t* waiting = idValue(&b->waiting, id);
    int32_t first = waiting ? *waiting : -1;
    if (first != -1)
        *waiting = -2; // taken; never -1, which would end a hashed probe chain
    return first < 0 ? -1 : first;
}

// Links each candidate behind the others with the same parent identifier
// (level-1 items behind the root's), keeping list order.
static void linkWaiting(Builder* b, size_t count, int32_t* rootFirst) {
    int32_t rootLast = -1;
    for (size_t i = 0; i < count; ++i) {
        b->nextWaiting[i] = -1;
        const Candidate* item = &b->facts[i];
        if (item->topLevel) {
            if (rootLast == -1)
                *rootFirst = (int32_t)i;
            else
                b->nextWaiting[rootLast] = (int32_t)i;
            rootLast = (int32_t)i;
            continue;
        }
        // No candidate carries an identifier beyond a direct table's room:
        // its children wait for nothing and are not shown.
        int32_t* first = idValue(&b->waiting, item->parentId);
        if (!first)
            continue;
        // lastChild doubles as the tail of each waiting list while linking.
        if (*first == -1)
            *first = (int32_t)i;
        else
            b->nextWaiting[b->lastChild[*first]] = (int32_t)i;
        b->lastChild[*first] = (int32_t)i;
    }
}

// Room for one more open node; the stack begins small, as most trees are
// shallow, and doubles. False when memory ran short.
static bool roomForFrame(Builder* b, size_t depth) {
    if (depth < b->frames)
        return true;
    size_t grown = b->frames ? b->frames * 2 : 64;
    Frame* bigger = (Frame*)modelAllocArray(grown, sizeof(Frame));
    if (!bigger)
        return false;
    if (b->stack)
        memcpy(bigger, b->stack, depth * sizeof(Frame));
    modelFree(b->stack);
    b->stack = bigger;
    b->frames = grown;
    return true;
}

// Pre-order with an explicit stack of open nodes: deep chains stay off the
// call stack, and a node deeper than kMaxViewDepth is never made. False
// when memory ran short.
static bool placeAll(Builder* b, int32_t rootFirst) {
    if (!roomForFrame(b, 0))
        return false;
    size_t depth = 1;
    b->stack[0].node = kPlanRoot;
    b->stack[0].nextChild = rootFirst;
    while (depth) {
        Frame* top = &b->stack[depth - 1];
        int32_t candidate = top->nextChild;
        if (candidate == -1) {
            --depth;
            continue;
        }
        top->nextChild = b->nextWaiting[candidate];
        int32_t node = appendNode(b, candidate, top->node);
        int32_t children = takeWaiting(b, b->facts[candidate].id);
        if (children != -1 && depth < (size_t)kMaxViewDepth) {
            if (!roomForFrame(b, depth))
                return false;
            b->stack[depth].node = node;
            b->stack[depth].nextChild = children;
            ++depth;
        }
    }
    return true;
}

int32_t planFirstChild(const ViewPlan* plan, int32_t node) {
    return node == kPlanRoot ? plan->rootFirstChild : plan->firstChild[node];
}

void freeViewPlan(ViewPlan* plan) {
    modelFree(plan->nodes);
    modelFree(plan->firstChild);
    modelFree(plan->nextSibling);
    memset(plan, 0, sizeof *plan);
}

int planDefaultView(const NoteList* list, int hideChecked, ViewPlan* plan) {
    memset(plan, 0, sizeof *plan);
    plan->rootFirstChild = -1;
    size_t n = 0;
    for (const NoteItem* it = list->head; it; it = it->next)
        ++n;

    Builder b;
    memset(&b, 0, sizeof b);
    b.plan = plan;
    b.rootSlot = (int32_t)n;
    plan->nodes = (PlanNode*)modelAllocArray(n + 1, sizeof(PlanNode));
    plan->firstChild = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    plan->nextSibling = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    b.items = (NoteItem**)modelAllocArray(n + 1, sizeof(NoteItem*));
    b.facts = (Candidate*)modelAllocArray(n + 1, sizeof(Candidate));
    b.nextWaiting = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    b.lastChild = (int32_t*)modelAllocArray(n + 1, sizeof(int32_t));
    int ok = plan->nodes && plan->firstChild && plan->nextSibling && b.items && b.facts &&
             b.nextWaiting && b.lastChild;
    size_t count = 0, waiting = 0;
    uint32_t highest = 0;
    if (ok)
        for (NoteItem* item = list->head; item; item = item->next)
            if (!hideChecked || item->checkState != kChecked) {
                b.facts[count] = {item->id, item->parentId, item->icon, item->checkState,
                                  item->level == 1};
                b.items[count++] = item;
                highest = item->id > highest ? item->id : highest;
                waiting += item->level != 1;
            }
    // Identifiers as the program hands them out are a table's indexes;
    // a damaged file's scattered ones are hashed, as many as wait.
    ok = ok && initIdValues(&b.waiting, directIdBound(highest, count), waiting);
    if (ok) {
        int32_t rootFirst = -1;
        linkWaiting(&b, count, &rootFirst);
        plan->firstChild[b.rootSlot] = -1;
        b.lastChild[b.rootSlot] = -1;
        ok = placeAll(&b, rootFirst);
        plan->rootFirstChild = plan->firstChild[b.rootSlot];
    }
    modelFree(b.stack);
    modelFree(b.items);
    modelFree(b.facts);
    modelFree(b.nextWaiting);
    modelFree(b.lastChild);
    freeIdValues(&b.waiting);
    if (!ok)
        freeViewPlan(plan);
    return ok;
}

namespace {

// The moved item and the items found below it so far, each after its
// parent, with the identifiers of them all.
struct QuickRelevel {
    const NoteItem** found;
    size_t count, room;
    KeyMap ids; // identifier -> index in found
    uint32_t lowest, highest;
};

} // namespace

// The scans of the list a quick relevelling may take before the whole plan
// is worked out instead. One scan finds every item below the moved one that
// the list holds after its parent, one more each item listed before its
// parent, a last one finds nothing more; each scan also climbs one
// ancestor. A scan costs about a fifth of the plan, so a subtree that takes
// more wastes little before the plan.
enum { kQuickScans = 5 };

static bool addFound(QuickRelevel* q, const NoteItem* item) {
    if (q->count == q->room) {
        size_t grown = q->room ? q->room * 2 : 256;
        const NoteItem** bigger = (const NoteItem**)modelAllocArray(grown, sizeof(NoteItem*));
        if (!bigger)
            return false;
        if (q->found)
            memcpy(bigger, q->found, q->count * sizeof(NoteItem*));
        modelFree(q->found);
        q->found = bigger;
        q->room = grown;
    }
    q->found[q->count++] = item;
    q->lowest = q->count == 1 || item->id < q->lowest ? item->id : q->lowest;
    q->highest = q->count == 1 || item->id > q->highest ? item->id : q->highest;
    // The map is made again, twice as large, before it is half full.
    if (q->ids.keys && q->count * 2 <= q->ids.mask + 1) {
        keyMapRemember(&q->ids, item->id, (int32_t)(q->count - 1));
        return true;
    }
    freeKeyMap(&q->ids);
    if (!initKeyMap(&q->ids, q->count * 2))
        return false;
    for (size_t i = 0; i < q->count; ++i)
        keyMapRemember(&q->ids, q->found[i]->id, (int32_t)i);
    return true;
}

static int32_t foundWith(const QuickRelevel* q, uint32_t id) {
    return id < q->lowest || id > q->highest ? -1 : keyMapFind(&q->ids, id);
}

// relevelBelow without the whole plan, where the plan's answer follows from
// the parent identifiers alone: every ancestor of the moved item and every
// item below it carries an identifier no other item carries, so each one
// takes exactly the children that name it, and the chain of parents
// reaches a level-1 item. Then the items below are those that name one of
// them and are not at level 1, whatever their list order, and each level
// down is one more. 0, with no level touched, when that cannot be shown in
// kQuickScans scans.
static int relevelQuickly(const NoteList* list, const NoteItem* top) {
    if (top->level == 1 ? false : top->parentId == 0 || top->parentId == top->id)
        return 0;
    QuickRelevel q;
    memset(&q, 0, sizeof q);
    bool ok = addFound(&q, top);
    // The ancestor still to find; none once a level-1 item is reached.
    bool climbing = top->level != 1;
    uint32_t wanted = top->parentId;
    // The last scan found more: the next one looks below those, and checks
    // that no other item carries their identifiers.
    bool growing = true;
    for (int scan = 0; ok && (climbing || growing); ++scan) {
        if (scan == kQuickScans) {
            ok = false;
            break;
        }
        size_t carriers = 0;
        const NoteItem* ancestor = nullptr;
        size_t before = q.count;
        for (const NoteItem* item = list->head; ok && item; item = item->next) {
            if (climbing && item->id == wanted) {
                ++carriers;
                ancestor = item;
            }
            int32_t at = foundWith(&q, item->id);
            if (at >= 0) {
                ok = q.found[at] == item; // or a second item carries the identifier
                continue;
            }
            if (item->level != 1 && foundWith(&q, item->parentId) >= 0)
                ok = addFound(&q, item);
        }
        growing = q.count > before;
        if (ok && climbing) {
            ok = carriers == 1;
            if (ok && ancestor->level == 1)
                climbing = false;
            else if (ok)
                wanted = ancestor->parentId;
        }
    }
    // Each item stands after its parent, which is renumbered first.
    for (size_t i = 1; ok && i < q.count; ++i) {
        NoteItem* item = (NoteItem*)q.found[i];
        item->level = q.found[keyMapFind(&q.ids, item->parentId)]->level + 1;
    }
    freeKeyMap(&q.ids);
    modelFree(q.found);
    return ok ? 1 : 0;
}

int relevelBelow(const NoteList* list, const NoteItem* top) {
    if (relevelQuickly(list, top))
        return 1;
    ViewPlan plan;
    if (!planDefaultView(list, 0, &plan))
        return 0;
    int32_t first = 0;
    while (first < plan.count && plan.nodes[first].item != top)
        ++first;
    // Nodes are in pre-order: the subtree is the run after its top whose
    // parents lie inside the run, and each parent is renumbered first.
    for (int32_t i = first + 1; i < plan.count && plan.nodes[i].parent >= first; ++i)
        plan.nodes[i].item->level = plan.nodes[plan.nodes[i].parent].item->level + 1;
    freeViewPlan(&plan);
    return 1;
}
