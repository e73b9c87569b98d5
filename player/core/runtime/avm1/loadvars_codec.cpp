#include "loadvars_codec.h"

#include "url_escape.h"

namespace swf::avm1 {

std::string encodeVariables(const NameValuePairs& variables) {
    std::string out;
    for (const auto& [name, value] : variables) {
        if (!out.empty()) out.push_back('&');
        out += urlEscape(name);
        out.push_back('=');
        out += urlEscape(value);
    }
    return out;
}

NameValuePairs decodeVariables(std::string_view text, size_t maxPairs) {
    NameValuePairs pairs;
    size_t start = 0;
    while (start <= text.size() && pairs.size() < maxPairs) {
        size_t end = text.find('&', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(start, end - start);
        if (!piece.empty()) {
            size_t equals = piece.find('=');
            if (equals == std::string_view::npos) {
                pairs.emplace_back(urlUnescape(piece), std::string());
            } else {
                pairs.emplace_back(urlUnescape(piece.substr(0, equals)), urlUnescape(piece.substr(equals + 1)));
            }
        }
        start = end + 1;
    }
    return pairs;
}

}  // namespace swf::avm1
