#include <corvane/setup/dbloc.h>
#include <corvane/setup/fileio.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace corvane {
namespace {

std::FILE* open_location_file() {
    std::vector<std::string> candidates;
    if (const char* loc = std::getenv("LOGIC_LOC")) candidates.emplace_back(loc);
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        candidates.push_back(std::string(home) + "/.tarn_files_loc");
    }
    candidates.emplace_back("/usr/local/tarn_files_loc.txt");
    candidates.emplace_back(".\\tarnloc.txt");
    candidates.emplace_back("C:\\tarnloc.txt");
    for (const auto& name : candidates) {
        if (std::FILE* f = open_regular(name, "r")) return f;
    }
    return nullptr;
}

// Reads one whole line, line end included, however long it is. False at end
// of file before any character.
bool read_line(std::FILE* f, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(f)) != EOF) {
        line += static_cast<char>(c);
        if (c == '\n') break;
    }
    return !line.empty();
}

void strip_control_tail(std::string& line) {
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32) line.pop_back();
}

// One integer in the manner of "%ld": leading white space skipped, optional
// sign, digits. A value outside the 32-bit range does not convert.
bool read_size(std::FILE* f, std::int32_t& value) {
    long v = 0;
    if (std::fscanf(f, "%ld", &v) != 1) return false;
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    value = static_cast<std::int32_t>(v);
    return true;
}

}  // namespace

int cv_readdbloc(std::string& line1, std::string& line2, std::string& line3, std::int32_t& size1,
                 std::int32_t& size2, std::int32_t& size3, std::int32_t& size4,
                 std::int32_t& size5) {
    std::FILE* loc = open_location_file();
    if (loc == nullptr) return -1;

    std::string* lines[3] = {&line1, &line2, &line3};
    for (std::string* field : lines) {
        std::string line;
        if (!read_line(loc, line)) {
            std::fclose(loc);
            return -2;
        }
        strip_control_tail(line);
        *field = line;
    }
    std::fclose(loc);

    std::FILE* sizes = open_regular(join_path(line1, "pdsize.txt"), "r");
    if (sizes == nullptr) sizes = open_regular(join_path(line2, "pdsize.txt"), "r");
    if (sizes == nullptr) return -3;

    std::int32_t* fields[5] = {&size1, &size2, &size3, &size4, &size5};
    for (std::int32_t* field : fields) {
        if (!read_size(sizes, *field)) {
            std::fclose(sizes);
            return -4;
        }
    }
    std::fclose(sizes);
    return 0;
}

}  // namespace corvane
