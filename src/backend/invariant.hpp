#pragma once
// Internal invariant failures of the cores: conditions that no caller may
// produce. The binding layer turns them into PanicException; data errors are
// never reported this way.

namespace vantorq::backend {

struct InvariantFailure {
    const char* what;  // static text, or null for a generic message
};

[[noreturn]] inline void fail_invariant(const char* what) { throw InvariantFailure{what}; }

}  // namespace vantorq::backend
