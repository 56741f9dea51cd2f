#include "hits/hitjoin.h"

#include <cstdio>
#include <memory>

#include "setup/library.h"

namespace cv {
namespace {

// A name from the command line is a terminated text: blanks before the end are
// part of it.
std::string terminated(const std::string& arg) {
    return arg + '\0';
}

}  // namespace

int run_hitjoin(std::span<const std::string> args) {
    bool usage_error = false;
    int op = -1;
    auto lib = std::make_unique<Library>();

    if (args.size() == 3) {
        if (lib->cvl_init() != 0) {
            std::fputs("error initializing the TARN database\n", stderr);
            return 1;
        }
    } else {
        usage_error = true;
    }

    if (args.size() >= 3) {
        static constexpr const char* kOptions[] = {"-and", "-or", "-remove", "-not"};
        for (int i = 0; i < 4; ++i) {
            if (args[2] == kOptions[i]) {
                op = i;
                break;
            }
        }
        if (op == -1) {
            std::fprintf(stderr, "unknown option: %s\n", args[2].c_str());
            usage_error = true;
        }
    }
    if (op == -1) {
        std::fputs("required option missing\n", stderr);
        usage_error = true;
    }

    if (!usage_error) {
        if (lib->cvl_readbitmap(terminated(args[0]), 4) != 0) {
            std::fprintf(stderr, "error reading subfile %s\n", args[0].c_str());
            return 1;
        }
        if (lib->cvl_readbitmap(terminated(args[1]), op) != 0) {
            std::fprintf(stderr, "error reading subfile %s\n", args[1].c_str());
            return 1;
        }
    }
    if (usage_error) {
        std::fputs("\nusage:\n", stderr);
        std::fputs("\thitjoin <file1> <file2>\n", stderr);
        std::fputs("\t\t[ -or | -and | -remove | -not ]\n", stderr);
        return 1;
    }

    if (lib->cvl_savebitmap(terminated(args[0])) != 0) {
        // The save left file1 as it was; that is a failure of the run.
        std::fprintf(stderr, "error writing subfile %s\n", args[0].c_str());
        return 1;
    }
    std::printf("%d\n", lib->cvl_rephits(0));
    // A count that cannot be delivered is not a successful run either.
    if (std::fflush(stdout) != 0) return 1;
    return 0;
}

}  // namespace cv
