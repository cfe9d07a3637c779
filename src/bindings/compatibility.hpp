#pragma once
// The running interpreter's version and the behaviour flags derived from it.
// The Base64 functions consult these to match the interpreter's own base64 and
// binascii modules, whose defaults and messages changed between releases.

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantorq::bindings::compatibility {

struct PythonSemantics {
    std::uint8_t from_3_15 = 0;
    std::uint8_t from_3_15_alt = 0;  // same predicate; consulted independently by the Base64 layer
    std::uint8_t patched_tail = 0;   // 3.13.13+, 3.14.4+ and 3.15+: the fixed canonical-tail handling
    std::uint8_t level = 0;          // 0: 3.10 and older, 1: 3.11 to 3.14, 2: 3.15 and newer
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    std::uint8_t patch = 0;

    friend bool operator==(const PythonSemantics&, const PythonSemantics&) = default;
};

PythonSemantics semantics_for(std::uint8_t major, std::uint8_t minor, std::uint8_t patch);

// Parses the leading "major.minor.patch" of an interpreter version string
// (such as Py_GetVersion's "3.15.2 (main, ...)" or "3.15.0a1+"); nothing when
// the string does not start that way.
std::optional<PythonSemantics> parse_python_version(std::string_view version);

// The process-wide record for the running interpreter, computed on first use.
const PythonSemantics& python_semantics();

// True from 3.15 on (and for any major version above 3).
bool python_at_least();

}  // namespace vantorq::bindings::compatibility
