#include "hits/hitjoin.h"

#include <cstdio>
#include <memory>

#include "hits/subfile.h"
#include "setup/library.h"

namespace cv {

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

    return save_and_print_count(*lib, args[0]);
}

}  // namespace cv
