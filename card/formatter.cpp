#include <corvane/card/formatter.h>
#include <corvane/setup/text.h>

#include <utility>

namespace corvane::card {

std::string Ret3::dbname() const {
    return cols(ret3, 35, 38);
}
std::string Ret3::dbyear() const {
    return cols(ret3, 39, 42);
}
void Ret3::set_dbname(std::string_view name) {
    setcols(ret3, 35, 38, name);
}
void Ret3::set_dbyear(std::string_view year) {
    setcols(ret3, 39, 42, year);
}

CardFormatter::CardFormatter(std::string primary, std::string secondary, std::ostream& out)
    : dbpath2(std::move(primary)), dbpath1(std::move(secondary)), out_(out) {}

void CardFormatter::say(std::initializer_list<edit::ListItem> items) {
    out_ << edit::listed(items);
    out_.flush();
}

}  // namespace corvane::card
