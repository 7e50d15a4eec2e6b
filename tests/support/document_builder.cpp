#include "document_builder.h"

#include "notefile.h"
#include "notemodel.h"
#include "widetext.h"

#include <string.h>
#include <string>

NoteItem blankItem() {
    NoteItem item;
    memset(&item, 0, sizeof item);
    item.icon = 4;
    item.checkState = kUnchecked;
    item.taskTimeUnit = -1;
    return item;
}

NoteItem namedItem(const char* name, uint32_t id) {
    NoteItem item = blankItem();
    copyAsciiField(item.name, kNameChars, name);
    item.id = id;
    return item;
}

NoteItem itemFrom(const ItemValues& values) {
    NoteItem item = namedItem(values.name, values.id);
    item.parentId = values.parentId;
    item.level = values.level;
    if (values.icon)
        item.icon = values.icon;
    if (values.checkState)
        item.checkState = values.checkState;
    item.priority = values.priority;
    item.colour = values.colour;
    copyAsciiField(item.category, kCategoryChars, values.category ? values.category : "");
    item.dueDate.year = values.year;
    item.dueDate.month = values.month;
    item.dueDate.day = values.day;
    return item;
}

void placeUnder(NoteItem* item, const NoteItem* parent) {
    item->parentId = parent ? parent->id : 0;
    item->level = parent ? parent->level + 1 : 1;
}

NoteItem* appendWithNote(NoteList* list, const NoteItem* item, const char* note) {
    if (!note || !*note)
        return appendLoaded(list, item, nullptr);
    std::u16string wide(note, note + strlen(note));
    return appendLoaded(list, item, wide.c_str());
}

void setNextId(NoteList* list) {
    uint32_t largest = 0;
    for (const NoteItem* item = list->head; item; item = item->next)
        if (item->id > largest)
            largest = item->id;
    list->nextId = (int32_t)largest + 1;
}

int writeItems(const PathChar* path, const ItemValues* items, size_t count,
               const ViewOptions* options) {
    NoteList list;
    memset(&list, 0, sizeof list);
    initList(&list);
    setTitle(&list, kDefaultTitle);
    for (size_t i = 0; i < count; ++i) {
        NoteItem item = itemFrom(items[i]);
        if (!appendWithNote(&list, &item, items[i].note)) {
            clearList(&list);
            return 0;
        }
    }
    setNextId(&list);
    int written = writeNoteFile(&list, path, options);
    clearList(&list);
    return written;
}
