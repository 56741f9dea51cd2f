#include "cli/common.h"

#include <corvane/hits/report.h>
#include <corvane/hits/startup.h>
#include <corvane/hits/subfile.h>
#include <corvane/version.h>

namespace corvane::cli {

std::vector<std::string> arguments(int argc, char** argv) {
    if (argc < 1) return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

void usage_error(const Tool& tool) {
    std::fputs("\nusage:\n", stderr);
    std::fwrite(tool.usage.data(), 1, tool.usage.size(), stderr);
}

std::optional<int> help_or_version(const Tool& tool, const std::vector<std::string>& args) {
    if (args.empty()) return std::nullopt;
    if (args[0] == "--help") {
        std::printf("%.*s: %.*s\n\nusage:\n%.*s", static_cast<int>(tool.name.size()),
                    tool.name.data(), static_cast<int>(tool.summary.size()), tool.summary.data(),
                    static_cast<int>(tool.usage.size()), tool.usage.data());
    } else if (args[0] == "--version") {
        std::printf("%.*s (corvane) %s\n", static_cast<int>(tool.name.size()), tool.name.data(),
                    kVersion);
    } else {
        return std::nullopt;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

bool start_database(Library& lib, unsigned open) {
    if (cvl_init(lib, open) == 0) return true;
    std::fputs("error initializing the TARN database\n", stderr);
    return false;
}

const std::string* option_value(const std::vector<std::string>& args, std::size_t& i) {
    if (i + 1 >= args.size()) {
        std::fprintf(stderr, "missing value for option %s\n", args[i].c_str());
        return nullptr;
    }
    return &args[++i];
}

std::string terminated(const std::string& arg) {
    return arg + '\0';
}

int save_and_print_count(Library& lib, const std::string& name) {
    if (cvl_savebitmap(lib, terminated(name)) != 0) {
        // The save left the file as it was; that is a failure of the run.
        std::fprintf(stderr, "error writing subfile %s\n", name.c_str());
        return 1;
    }
    std::printf("%d\n", cvl_rephits(lib, 0));
    // A count that cannot be delivered is not a successful run either.
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace corvane::cli
