#include "platform/Catalogue.h"

#include <libintl.h>

namespace gw::catalogue {

const char* Tr(const char* german) {
    return dgettext(kDomain, german);
}

const char* TrN(const char* germanSingular, const char* germanPlural, unsigned long count) {
    return dngettext(kDomain, germanSingular, germanPlural, count);
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const char next = pattern[i + 1];
        if (next == '%') {
            out += '%';
            ++i;
        } else if (next >= '1' && next <= '9' && size_t(next - '1') < values.size()) {
            out += *(values.begin() + (next - '1'));
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace gw::catalogue
