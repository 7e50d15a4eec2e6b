// Moving a document between Twigmark and other outliners: OPML 2.0 and
// Markdown task lists out, OPML in.
#pragma once

#include "notetypes.h"
#include "xmlevents.h"

#include <stdio.h>

struct ExportResult {
    int ok;            // 0 when memory ran short or the output failed
    long droppedChars; // characters XML cannot hold, left out of an OPML export
    int32_t leftOut;   // items the Default View does not show, written at the top level
};

ExportResult writeOpml(const NoteList* list, FILE* out);
ExportResult writeMarkdown(const NoteList* list, FILE* out);

// Reads an OPML document into an empty list: identifiers in document order,
// parentId and level from the nesting, the title from head/title. What was
// read before a failure stays in the list. 0 on failure, with the reason in
// the problem.
int readOpml(const XmlSource* source, NoteList* list, CategoryList* categories,
             XmlProblem* problem);

// 1 when the first bytes look like an XML document rather than a note file.
int looksLikeXml(const uint8_t* head, size_t size);

// The day of the week, 0 = Sunday, as the date record keeps it.
int dayOfWeek(int year, int month, int day);
