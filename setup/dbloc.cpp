#include <corvane/setup/dbloc.h>
#include <corvane/setup/fileio.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>
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

// A location or sizes line may hold this many characters before its line end;
// a longer one is refused, so a file of one huge line costs no more memory
// than this.
constexpr std::size_t kMaxLine = 4096;

enum class Line { kRead, kEnd, kTooLong };

// Reads one line, line end included, of at most kMaxLine characters before
// the line end. kEnd at end of file before any character.
Line read_line(std::FILE* f, std::string& line) {
    line.clear();
    int c;
    while ((c = std::getc(f)) != EOF) {
        if (c == '\n') {
            line += '\n';
            return Line::kRead;
        }
        if (line.size() == kMaxLine) return Line::kTooLong;
        line += static_cast<char>(c);
    }
    return line.empty() ? Line::kEnd : Line::kRead;
}

void strip_control_tail(std::string& line) {
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32) line.pop_back();
}

// A control character (a tab aside) inside a path: a NUL would cut the path
// short wherever it is handed to the system, and no other belongs in one.
bool holds_control(std::string_view path) {
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 32 && c != '\t') || c == 127) return true;
    }
    return false;
}

// The sizes file, read a character at a time so that no line longer than
// kMaxLine is ever taken in.
class SizesReader {
  public:
    explicit SizesReader(std::FILE* f) : f_(f) {}

    // One integer in the manner of "%ld": white space (blanks, tabs, line
    // ends, form feeds, vertical tabs) skipped, an optional sign, then digits.
    // False when there is none, when a line grows past kMaxLine before it, or
    // when the value lies outside the 32-bit range.
    bool next(std::int32_t& value) {
        int c = get();
        while (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') c = get();
        bool negative = false;
        if (c == '+' || c == '-') {
            negative = c == '-';
            c = get();
        }
        if (!digit(c)) return false;
        std::int64_t v = 0;
        while (digit(c)) {
            // Saturates: any value this large is out of range.
            if (v <= kLimit) v = v * 10 + (c - '0');
            c = peek();
            if (digit(c)) c = get();
        }
        if (too_long_) return false;
        if (negative) v = -v;
        if (v < std::numeric_limits<std::int32_t>::min() ||
            v > std::numeric_limits<std::int32_t>::max()) {
            return false;
        }
        value = static_cast<std::int32_t>(v);
        return true;
    }

  private:
    static constexpr std::int64_t kLimit = std::int64_t{1} << 40;
    static bool digit(int c) { return c >= '0' && c <= '9'; }

    // The next character; EOF once a line has passed kMaxLine.
    int get() {
        if (too_long_) return EOF;
        const int c = std::getc(f_);
        column_ = c == '\n' ? 0 : column_ + 1;
        if (column_ > kMaxLine) {
            too_long_ = true;
            return EOF;
        }
        return c;
    }
    int peek() {
        const int c = std::getc(f_);
        if (c != EOF) std::ungetc(c, f_);
        return c;
    }

    std::FILE* f_;
    std::size_t column_ = 0;
    bool too_long_ = false;
};

}  // namespace

int cv_readdbloc(std::string& line1, std::string& line2, std::string& line3, std::int32_t& size1,
                 std::int32_t& size2, std::int32_t& size3, std::int32_t& size4,
                 std::int32_t& size5) {
    std::FILE* loc = open_location_file();
    if (loc == nullptr) return -1;

    // A line that is too long, or that holds a control character once its
    // tail is stripped, makes the location file unreadable (-2); the lines
    // before it keep their text.
    std::string* lines[3] = {&line1, &line2, &line3};
    for (std::string* field : lines) {
        std::string line;
        if (read_line(loc, line) != Line::kRead) {
            std::fclose(loc);
            return -2;
        }
        strip_control_tail(line);
        if (holds_control(line)) {
            std::fclose(loc);
            return -2;
        }
        *field = line;
    }
    std::fclose(loc);

    std::FILE* sizes = open_regular(join_path(line1, "pdsize.txt"), "r");
    if (sizes == nullptr) sizes = open_regular(join_path(line2, "pdsize.txt"), "r");
    if (sizes == nullptr) return -3;

    SizesReader reader(sizes);
    std::int32_t* fields[5] = {&size1, &size2, &size3, &size4, &size5};
    for (std::int32_t* field : fields) {
        if (!reader.next(*field)) {
            std::fclose(sizes);
            return -4;
        }
    }
    std::fclose(sizes);
    return 0;
}

}  // namespace corvane
