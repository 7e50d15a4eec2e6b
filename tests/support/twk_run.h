// twk's commands run inside the test process, as its command line would run
// them, on the host and on Windows alike: arguments in the platform's path
// characters, the exit status and both outputs kept.
#pragma once

#include "fileio.h"

#include <stdio.h>
#include <string>
#include <vector>

struct TwkRun {
    int status;
    std::string out, err;
};

// Everything written to a temporary file, which is closed after.
std::string drain(FILE* file);

// "twk args...". out is where the output goes, closed after; when null it
// goes to a temporary file and is kept in the run.
TwkRun twk(std::vector<std::basic_string<PathChar>> args, FILE* out = nullptr);
