#include <corvane/card/box3.h>

#include <corvane/setup/text.h>

namespace corvane::card {

void phspg(std::string_view sgin, std::string& sgout) { sgout = padded(padded(sgin, 8), 12); }

}  // namespace corvane::card
