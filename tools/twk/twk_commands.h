// The twk commands, callable from tests as well as from main.
#pragma once

#include "fileio.h"

#include <stdio.h>

enum { kTwkOk = 0, kTwkLoadFailed = 1, kTwkUsage = 2 };

int twkMain(int argc, PathChar** argv, FILE* out, FILE* err);

// 1 when both paths name one existing file.
int sameExistingFile(const PathChar* a, const PathChar* b);
