#include "twk_run.h"

#include "twk_commands.h"

std::string drain(FILE* file) {
    std::string s;
    rewind(file);
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        s.append(buffer, n);
    fclose(file);
    return s;
}

TwkRun twk(std::vector<std::basic_string<PathChar>> args, FILE* out) {
    static const PathChar kName[] = {'t', 'w', 'k', 0};
    args.insert(args.begin(), kName);
    std::vector<PathChar*> argv;
    for (std::basic_string<PathChar>& arg : args)
        argv.push_back(&arg[0]);
    bool captured = out == nullptr;
    if (captured)
        out = tmpfile();
    FILE* err = tmpfile();
    TwkRun run;
    run.status = twkMain((int)argv.size(), argv.data(), out, err);
    if (captured)
        run.out = drain(out);
    else
        fclose(out);
    run.err = drain(err);
    return run;
}
