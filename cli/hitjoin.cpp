// hitjoin FILE1 FILE2 -and|-or|-remove|-not: loads FILE1, merges FILE2 into
// it by the option, saves the result over FILE1 and prints the hit count.
// With three arguments the database is started before the option is checked,
// so a start-up failure is reported first. Exit status 0 after a successful
// run; 1 after a start-up failure, a usage error, a failed read or a failed
// save (FILE1 then stays as it was, and no count is printed).
#include <corvane/hits/startup.h>
#include <corvane/hits/subfile.h>

#include <cstdio>
#include <memory>

#include "cli/common.h"
#include "cli/tools.h"

namespace corvane::cli {
namespace {

constexpr Tool kHitjoin = {"hitjoin", "combine two subfiles",
                           "\thitjoin <file1> <file2>\n"
                           "\t\t[ -or | -and | -remove | -not ]\n"};

// The options in the order of their operation codes.
constexpr const char* kOptions[] = {"-and", "-or", "-remove", "-not"};

}  // namespace

int hitjoin(int argc, char** argv) {
    const auto args = arguments(argc, argv);
    bool bad_usage = false;
    int op = -1;
    auto lib = std::make_unique<Library>();

    if (args.size() == 3) {
        if (!start_database(*lib, kDbNone)) return 1;  // subfiles only
    } else {
        bad_usage = true;
    }

    if (args.size() >= 3) {
        for (int i = 0; i < 4; ++i) {
            if (args[2] == kOptions[i]) {
                op = i;
                break;
            }
        }
        if (op == -1) {
            std::fprintf(stderr, "unknown option: %s\n", args[2].c_str());
            bad_usage = true;
        }
    }
    if (op == -1) {
        std::fputs("required option missing\n", stderr);
        bad_usage = true;
    }

    if (!bad_usage) {
        if (cvl_readbitmap(*lib, terminated(args[0]), 4) != 0) {
            std::fprintf(stderr, "error reading subfile %s\n", args[0].c_str());
            return 1;
        }
        if (cvl_readbitmap(*lib, terminated(args[1]), op) != 0) {
            std::fprintf(stderr, "error reading subfile %s\n", args[1].c_str());
            return 1;
        }
    }
    if (bad_usage) {
        usage_error(kHitjoin);
        return 1;
    }

    return save_and_print_count(*lib, args[0]);
}

}  // namespace corvane::cli
