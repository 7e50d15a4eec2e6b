// The event interface on Expat. A DOCTYPE stops the parse at once, before
// its internal subset is read, so neither entity declarations nor external
// references are ever processed.
#include "xmlevents.h"

#include <expat.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct ExpatRun {
    XML_Parser parser;
    const XmlHandler* handler;
    XmlProblem* problem;
    WideBuffer text; // names and values of one start tag, or one run of text
    XmlAttribute* attributes;
    size_t attributeCapacity;
    int stopped; // the handler or a refusal stopped the parse
};

} // namespace

static void stop(ExpatRun* run, const char* reason) {
    if (reason)
        setXmlProblem(run->problem, reason);
    run->stopped = 1;
    XML_StopParser(run->parser, XML_FALSE);
}

static int growAttributes(ExpatRun* run, size_t count) {
    if (count <= run->attributeCapacity)
        return 1;
    XmlAttribute* grown = (XmlAttribute*)realloc(run->attributes, count * sizeof(XmlAttribute));
    if (!grown)
        return 0;
    run->attributes = grown;
    run->attributeCapacity = count;
    return 1;
}

static void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** atts) {
    ExpatRun* run = (ExpatRun*)data;
    if (run->stopped)
        return;
    size_t count = 0;
    while (atts[count * 2])
        ++count;
    run->text.length = 0;
    // Names and values go into one buffer, which may move while it grows, so
    // the pointers are made from offsets at the end. Offsets 0 and 1 frame
    // the element's name, then four per attribute.
    size_t* offsets = (size_t*)malloc((count * 4 + 2) * sizeof(size_t));
    int ok = offsets && growAttributes(run, count);
    if (ok) {
        offsets[0] = 0;
        ok = appendUtf8(&run->text, name, strlen(name));
        offsets[1] = run->text.length;
        for (size_t i = 0; ok && i < count * 2; ++i) {
            offsets[2 + i * 2] = run->text.length;
            ok = appendUtf8(&run->text, atts[i], strlen(atts[i]));
            offsets[3 + i * 2] = run->text.length;
        }
    }
    if (!ok) {
        free(offsets);
        stop(run, "out of memory");
        return;
    }
    const WideChar* base = run->text.data;
    for (size_t i = 0; i < count; ++i) {
        XmlAttribute* a = &run->attributes[i];
        a->name = base + offsets[2 + i * 4];
        a->nameLength = offsets[3 + i * 4] - offsets[2 + i * 4];
        a->value = base + offsets[4 + i * 4];
        a->valueLength = offsets[5 + i * 4] - offsets[4 + i * 4];
    }
    int goOn =
        run->handler->startElement(run->handler->context, base, offsets[1], run->attributes, count);
    free(offsets);
    if (!goOn)
        stop(run, nullptr);
}

static void XMLCALL onEnd(void* data, const XML_Char*) {
    ExpatRun* run = (ExpatRun*)data;
    if (!run->stopped && !run->handler->endElement(run->handler->context))
        stop(run, nullptr);
}

static void XMLCALL onCharacters(void* data, const XML_Char* s, int len) {
    ExpatRun* run = (ExpatRun*)data;
    if (run->stopped)
        return;
    run->text.length = 0;
    if (!appendUtf8(&run->text, s, (size_t)len)) {
        stop(run, "out of memory");
        return;
    }
    if (!run->handler->characters(run->handler->context, run->text.data, run->text.length))
        stop(run, nullptr);
}

static void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    stop((ExpatRun*)data, "a DOCTYPE is not allowed (no DTD or entity is processed)");
}

static void XMLCALL onEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int,
                                 const XML_Char*, const XML_Char*, const XML_Char*,
                                 const XML_Char*) {
    stop((ExpatRun*)data, "entity declarations are not allowed");
}

int parseXml(const XmlSource* source, const XmlHandler* handler, XmlProblem* problem) {
    memset(problem, 0, sizeof *problem);
    ExpatRun run;
    memset(&run, 0, sizeof run);
    run.handler = handler;
    run.problem = problem;
    run.parser = XML_ParserCreate(nullptr);
    if (!run.parser) {
        setXmlProblem(problem, "out of memory");
        return 0;
    }
    XML_SetUserData(run.parser, &run);
    XML_SetElementHandler(run.parser, onStart, onEnd);
    XML_SetCharacterDataHandler(run.parser, onCharacters);
    XML_SetStartDoctypeDeclHandler(run.parser, onDoctype);
    XML_SetEntityDeclHandler(run.parser, onEntityDecl);
    XML_SetParamEntityParsing(run.parser, XML_PARAM_ENTITY_PARSING_NEVER);

    enum { kChunk = 65536 };
    int ok = 1;
    for (;;) {
        void* buffer = XML_GetBuffer(run.parser, kChunk);
        if (!buffer) {
            setXmlProblem(problem, "out of memory");
            ok = 0;
            break;
        }
        long got = source->read(source->context, buffer, kChunk);
        if (got < 0) {
            setXmlProblem(problem, "read error");
            ok = 0;
            break;
        }
        if (XML_ParseBuffer(run.parser, (int)got, got == 0) != XML_STATUS_OK) {
            ok = 0;
            if (!run.stopped)
                setXmlProblem(problem, XML_ErrorString(XML_GetErrorCode(run.parser)));
            problem->line = (long)XML_GetCurrentLineNumber(run.parser);
            problem->column = (long)XML_GetCurrentColumnNumber(run.parser) + 1;
            break;
        }
        if (got == 0)
            break;
    }
    XML_ParserFree(run.parser);
    freeWideBuffer(&run.text);
    free(run.attributes);
    return ok;
}
