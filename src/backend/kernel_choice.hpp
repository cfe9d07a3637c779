#pragma once
// How a family's kernel table reports what it chose, for the processor
// report (`cpu_info`): one line per role, naming the tier of the kernel that
// fills it. Reports only: nothing reads these back to choose a kernel.

#include <string_view>
#include <vector>

namespace vantorq::backend {

struct KernelChoice {
    std::string_view role;    // what the kernel does: "encode", "accumulate", "x64_128", ...
    std::string_view kernel;  // the tier that fills it: "scalar", "avx2", "avx512", ...
    friend bool operator==(const KernelChoice&, const KernelChoice&) = default;
};

using KernelChoices = std::vector<KernelChoice>;

}  // namespace vantorq::backend
