#pragma once

#include <string_view>

namespace vandorix {

inline constexpr const char *kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr const char *kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char *kPkgRelNs =
    "http://schemas.openxmlformats.org/package/2006/relationships";

// True when `s` starts with an escape of the form _xHHHH_.
inline bool looksLikeEscape(std::string_view s) {
    if (s.size() < 7 || s[0] != '_' || s[1] != 'x' || s[6] != '_') return false;
    for (int i = 2; i < 6; ++i) {
        char c = s[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

} // namespace vandorix
