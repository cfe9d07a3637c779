// The pure half of the compatibility layer: no interpreter calls, so the C++
// tests can drive it with any version string.

#include <charconv>

#include "bindings/compatibility.hpp"

namespace vantorq::bindings::compatibility {

PythonSemantics semantics_for(std::uint8_t major, std::uint8_t minor, std::uint8_t patch) {
    PythonSemantics s{.major = major, .minor = minor, .patch = patch};
    bool from_3_15 = false;
    bool patched_tail = false;
    if (major != 3) {
        from_3_15 = patched_tail = major > 3;
        s.level = major > 3 ? 2 : 0;
    } else if (minor >= 15) {
        from_3_15 = patched_tail = true;
        s.level = 2;
    } else {
        patched_tail = (minor == 13 && patch >= 13) || (minor == 14 && patch >= 4);
        s.level = minor >= 11 ? 1 : 0;
    }
    s.from_3_15 = s.from_3_15_alt = from_3_15;
    s.patched_tail = patched_tail;
    return s;
}

std::optional<PythonSemantics> parse_python_version(std::string_view version) {
    std::uint8_t parts[3] = {};
    const char* p = version.data();
    const char* const end = p + version.size();
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (p == end || *p != '.') return std::nullopt;
            ++p;
        }
        const auto [next, error] = std::from_chars(p, end, parts[i]);
        if (error != std::errc{}) return std::nullopt;
        p = next;
    }
    return semantics_for(parts[0], parts[1], parts[2]);
}

}  // namespace vantorq::bindings::compatibility
