// Markdown out: a heading with the title, then a nested task list. Each item
// is "- [ ] name (P3, category, due 2026-12-18)" or the same with "[x]", two
// spaces of indentation per level, and the note as indented lines beneath. Names are escaped so
// that they read as they stand; notes are free text and are written unchanged.
#include "outliner.h"

#include "exporttree.h"
#include "notemodel.h"
#include "textout.h"
#include "widetext.h"

#include <stdlib.h>
#include <string.h>

namespace {

// Deeper items are indented as this level: a hostile chain would otherwise
// make the output grow with the square of its depth.
enum { kMaxMarkdownDepth = 32 };

} // namespace

static bool special(uint32_t c) {
    return strchr("\\`*_[]<>&#~|", (int)c) != nullptr;
}

// One line of inline text: markup characters escaped, line breaks and tabs
// turned into spaces so that the list stays one line per item.
static void putInline(TextOut* out, const WideChar* text, size_t length) {
    for (size_t i = 0; i < length;) {
        bool lone;
        uint32_t c = nextCodePoint(text, length, &i, &lone);
        if (lone)
            c = 0xFFFD;
        else if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
        else if (c != 0 && c < 0x80 && special(c))
            putBytes(out, "\\", 1);
        putCodePoint(out, c);
    }
}

static void putSpaces(TextOut* out, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        putBytes(out, " ", 1);
}

static void putNote(TextOut* out, const WideChar* note, size_t length, int32_t indent) {
    size_t start = 0;
    while (start <= length) {
        size_t end = start;
        while (end < length && note[end] != '\r' && note[end] != '\n')
            ++end;
        if (end > start) {
            putSpaces(out, indent);
            for (size_t i = start; i < end;) {
                bool lone;
                uint32_t c = nextCodePoint(note, end, &i, &lone);
                putCodePoint(out, lone ? 0xFFFD : c);
            }
        }
        putBytes(out, "\n", 1);
        if (end == length)
            break;
        start = end + (note[end] == '\r' && end + 1 < length && note[end + 1] == '\n' ? 2 : 1);
        if (start == length)
            break; // a final line break adds no empty line
    }
}

static void putItem(TextOut* out, const NoteItem* item, int32_t depth) {
    int32_t level = depth < kMaxMarkdownDepth ? depth : kMaxMarkdownDepth;
    putSpaces(out, (level - 1) * 2);
    putText(out, item->checkState == kChecked ? "- [x] " : "- [ ] ");
    putInline(out, item->name, wideLength(item->name, kNameChars));
    putText(out, " (P");
    putNumber(out, (long)item->priority + 1);
    size_t categoryLength = wideLength(item->category, kCategoryChars);
    if (categoryLength) {
        putText(out, ", ");
        putInline(out, item->category, categoryLength);
    }
    if (hasDueDate(item)) {
        char date[40];
        snprintf(date, sizeof date, ", due %04u-%02u-%02u", (unsigned)item->dueDate.year,
                 (unsigned)item->dueDate.month, (unsigned)item->dueDate.day);
        putText(out, date);
    }
    putBytes(out, ")\n", 2);
    if (item->note)
        putNote(out, item->note, noteLength(item), level * 2);
}

ExportResult writeMarkdown(const NoteList* list, FILE* file) {
    ExportResult result = {0, 0, 0};
    ExportTree tree;
    if (!planExport(list, &tree))
        return result;
    TextOut* out = (TextOut*)malloc(sizeof(TextOut));
    if (!out) {
        freeExportTree(&tree);
        return result;
    }
    beginTextOut(out, file);
    putText(out, "# ");
    putInline(out, list->title, wideLength(list->title, kTitleChars));
    putText(out, "\n\n");
    int32_t depth = 1, closed = 0;
    for (int32_t node = nextExportNode(&tree, -1, &depth, &closed); node != -1;) {
        putItem(out, tree.items[node], depth);
        node = nextExportNode(&tree, node, &depth, &closed);
    }
    result.ok = endTextOut(out);
    result.leftOut = tree.leftOut;
    free(out);
    freeExportTree(&tree);
    return result;
}
