#include "bindings/python.hpp"

#include "bindings/compatibility.hpp"

#include "bindings/buffer.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::compatibility {

const PythonSemantics& python_semantics() {
    static const PythonSemantics PYTHON_SEMANTICS = [] {
        const auto parsed = parse_python_version(Py_GetVersion());
        if (!parsed) throw runtime::Panic("interpreter version string is not major.minor.patch");
        return *parsed;
    }();
    return PYTHON_SEMANTICS;
}

bool python_at_least() {
    const auto& s = python_semantics();
    return (s.major == 3 && s.minor >= 15) || s.major > 3;
}

}  // namespace vantorq::bindings::compatibility
