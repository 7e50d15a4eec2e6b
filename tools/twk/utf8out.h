// Writing UTF-16 model text as UTF-8, to a FILE.
#pragma once

#include "notetypes.h"

#include <stdio.h>

// Plain text: a lone surrogate becomes U+FFFD.
void putUtf8(FILE* out, const WideChar* text, size_t length);
// A JSON string with its quotes: a lone surrogate is written as a \u escape.
void putJsonString(FILE* out, const WideChar* text, size_t length);
