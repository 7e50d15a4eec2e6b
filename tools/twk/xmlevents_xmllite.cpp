// The event interface on XmlLite, which is part of Windows. DTD processing
// is prohibited, so a DOCTYPE fails the read before any entity is declared
// or fetched; the element depth limit is lifted, because XmlLite keeps its
// element stack on the heap.
#include "utf8check.h"
#include "xmlevents.h"

#include <objbase.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <xmllite.h>

namespace {

// The bytes of an XmlSource as the stream XmlLite reads. It lives on
// parseXml's stack and outlasts the reader, so counting references only
// keeps COM's rules.
struct SourceStream : ISequentialStream {
    const XmlSource* source;
    LONG references;
    int failed;
    Utf8Check utf8;
    int badText; // the bytes are not the UTF-8 they claim to be
    int ended;   // the source has no more bytes
    // The first bytes are read ahead, so that the check sees the encoding
    // declaration whole before the reader sees any byte.
    uint8_t head[kUtf8HeadBytes];
    size_t headLength;
    size_t headServed;
    int headRead;

    long fromSource(uint8_t* buffer, size_t bytes) {
        long got = source->read(source->context, buffer, bytes);
        if (got < 0)
            failed = 1;
        if (got == 0)
            ended = 1;
        return got;
    }

    // Fills the head, then checks it: -1 on a failure.
    int readHead() {
        headRead = 1;
        while (headLength < sizeof head) {
            long got = fromSource(head + headLength, sizeof head - headLength);
            if (got < 0)
                return -1;
            if (got == 0)
                break;
            headLength += (size_t)got;
        }
        if (!checkUtf8(&utf8, head, headLength) || (ended && !checkUtf8(&utf8, nullptr, 0))) {
            badText = 1;
            return -1;
        }
        return 0;
    }

    // Up to bytes bytes, checked; 0 at the end, -1 on a failure.
    long next(uint8_t* buffer, size_t bytes) {
        if (failed || badText || (!headRead && readHead() < 0))
            return -1;
        if (headServed < headLength) {
            size_t n = headLength - headServed < bytes ? headLength - headServed : bytes;
            memcpy(buffer, head + headServed, n);
            headServed += n;
            return (long)n;
        }
        if (ended)
            return 0;
        long got = fromSource(buffer, bytes);
        if (got < 0)
            return -1;
        if (!checkUtf8(&utf8, buffer, (size_t)got)) {
            badText = 1;
            return -1;
        }
        return got;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(ISequentialStream)) {
            *object = static_cast<ISequentialStream*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)++references; }
    ULONG STDMETHODCALLTYPE Release() override { return (ULONG)--references; }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG bytes, ULONG* read) override {
        long got = next((uint8_t*)buffer, bytes);
        if (read)
            *read = got < 0 ? 0 : (ULONG)got;
        if (got < 0)
            return E_FAIL;
        return (ULONG)got < bytes ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
};

} // namespace

static const WideChar* wide(LPCWSTR text) {
    return reinterpret_cast<const WideChar*>(text);
}

static const char* describe(HRESULT hr) {
    switch ((unsigned long)hr) {
    case WC_E_DTDPROHIBITED:
        return "a DOCTYPE is not allowed (no DTD or entity is processed)";
    case WC_E_UNDECLAREDENTITY:
        return "undefined entity";
    case MX_E_INPUTEND:
        return "the document ends too early";
    case MX_E_ENCODING:
    case XML_E_INVALID_UNICODE:
        return "the text is not in its declared encoding";
    case WC_E_XMLCHARACTER:
        return "a character XML does not allow";
    case WC_E_ELEMENTMATCH:
        return "mismatched tag";
    default:
        return nullptr;
    }
}

namespace {

struct LiteRun {
    IXmlReader* reader;
    const XmlHandler* handler;
    XmlProblem* problem;
    WideBuffer text;
    XmlAttribute* attributes;
    size_t attributeCapacity;
    size_t* offsets;
};

} // namespace

// Copies one of the reader's strings into the run's text; span gets where
// it starts and ends there. 0 when memory ran short.
static int appendPart(LiteRun* run, LPCWSTR part, UINT length, size_t span[2]) {
    span[0] = run->text.length;
    if (!appendWide(&run->text, wide(part), length))
        return 0;
    span[1] = run->text.length;
    return 1;
}

// The start tag the reader stands on: name and attributes are copied, since
// XmlLite's strings last only until the reader moves.
static int startElement(LiteRun* run) {
    LPCWSTR name;
    UINT nameLength;
    if (FAILED(run->reader->GetQualifiedName(&name, &nameLength)))
        return -1;
    BOOL empty = run->reader->IsEmptyElement();
    run->text.length = 0;
    if (!appendWide(&run->text, wide(name), nameLength))
        return 0;
    size_t count = 0;
    HRESULT hr = run->reader->MoveToFirstAttribute();
    while (hr == S_OK) {
        if ((count + 1) * 4 > run->attributeCapacity) {
            size_t capacity = run->attributeCapacity ? run->attributeCapacity * 2 : 64;
            size_t* grown = (size_t*)realloc(run->offsets, capacity * sizeof(size_t));
            if (!grown)
                return 0;
            run->offsets = grown;
            XmlAttribute* more =
                (XmlAttribute*)realloc(run->attributes, capacity / 4 * sizeof(XmlAttribute));
            if (!more)
                return 0;
            run->attributes = more;
            run->attributeCapacity = capacity;
        }
        LPCWSTR part;
        UINT length;
        size_t* o = run->offsets + count * 4;
        if (FAILED(run->reader->GetQualifiedName(&part, &length)))
            return -1;
        if (!appendPart(run, part, length, o))
            return 0;
        if (FAILED(run->reader->GetValue(&part, &length)))
            return -1;
        if (!appendPart(run, part, length, o + 2))
            return 0;
        ++count;
        hr = run->reader->MoveToNextAttribute();
    }
    if (FAILED(hr))
        return -1;
    run->reader->MoveToElement();
    for (size_t i = 0; i < count; ++i) {
        const size_t* o = run->offsets + i * 4;
        XmlAttribute* a = &run->attributes[i];
        a->name = run->text.data + o[0];
        a->nameLength = o[1] - o[0];
        a->value = run->text.data + o[2];
        a->valueLength = o[3] - o[2];
    }
    const XmlHandler* h = run->handler;
    if (!h->startElement(h->context, run->text.data, nameLength, run->attributes, count))
        return 2;
    if (empty && !h->endElement(h->context))
        return 2;
    return 1;
}

// 1 to go on, 2 when the handler stopped, 0 when memory ran short, -1 on a
// reader error.
static int step(LiteRun* run, XmlNodeType type) {
    const XmlHandler* h = run->handler;
    switch (type) {
    case XmlNodeType_Element:
        return startElement(run);
    case XmlNodeType_EndElement:
        return h->endElement(h->context) ? 1 : 2;
    case XmlNodeType_Text:
    case XmlNodeType_CDATA:
    case XmlNodeType_Whitespace: {
        LPCWSTR value;
        UINT length;
        if (FAILED(run->reader->GetValue(&value, &length)))
            return -1;
        return h->characters(h->context, wide(value), length) ? 1 : 2;
    }
    default:
        return 1;
    }
}

int parseXml(const XmlSource* source, const XmlHandler* handler, XmlProblem* problem) {
    memset(problem, 0, sizeof *problem);
    SourceStream stream;
    stream.source = source;
    stream.references = 1;
    stream.failed = 0;
    stream.badText = 0;
    stream.ended = 0;
    stream.headLength = 0;
    stream.headServed = 0;
    stream.headRead = 0;
    memset(&stream.utf8, 0, sizeof stream.utf8);
    LiteRun run;
    memset(&run, 0, sizeof run);
    run.handler = handler;
    run.problem = problem;
    if (FAILED(CreateXmlReader(__uuidof(IXmlReader), (void**)&run.reader, nullptr))) {
        setXmlProblem(problem, "the XML reader (xmllite.dll) is not available");
        return 0;
    }
    int result = -1;
    HRESULT hr = run.reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    if (SUCCEEDED(hr))
        hr = run.reader->SetProperty(XmlReaderProperty_MaxElementDepth, 0);
    if (SUCCEEDED(hr))
        hr = run.reader->SetInput(static_cast<ISequentialStream*>(&stream));
    if (SUCCEEDED(hr)) {
        XmlNodeType type;
        UINT lastLine = 0, lastColumn = 0;
        XmlNodeType lastType = XmlNodeType_None;
        result = 1;
        while (result == 1 && (hr = run.reader->Read(&type)) == S_OK) {
            // At the end of a cut-off document Wine's reader stands still and
            // hands out the last element again and again. Two nodes of one
            // kind never start at one place, so that ends the read.
            // Wine's reader also carries on after its stream failed.
            if (stream.failed || stream.badText) {
                result = -1;
                break;
            }
            UINT line = 0, column = 0;
            run.reader->GetLineNumber(&line);
            run.reader->GetLinePosition(&column);
            if (stream.ended && type == lastType && line == lastLine && column == lastColumn) {
                hr = MX_E_INPUTEND;
                result = -1;
                break;
            }
            lastLine = line;
            lastColumn = column;
            lastType = type;
            result = step(&run, type);
        }
        if (result == 1 && FAILED(hr))
            result = -1;
    }
    if (result != 1) {
        UINT line = 0, column = 0;
        run.reader->GetLineNumber(&line);
        run.reader->GetLinePosition(&column);
        problem->line = (long)line;
        problem->column = (long)column;
    }
    if (result == 0) {
        setXmlProblem(problem, "out of memory");
    } else if (result == -1) {
        const char* known = describe(hr);
        if (stream.badText)
            setXmlProblem(problem, "the text is not valid UTF-8");
        else if (stream.failed)
            setXmlProblem(problem, "read error");
        else if (known)
            setXmlProblem(problem, known);
        else
            snprintf(problem->reason, sizeof problem->reason, "not well-formed XML (0x%08lx)",
                     (unsigned long)hr);
    }
    run.reader->Release();
    freeWideBuffer(&run.text);
    free(run.attributes);
    free(run.offsets);
    return result == 1;
}
