// The driver of every fuzz target: the target's transcript of the input on
// each tier this processor has, each equal to the scalar tier's.

#include <cstdio>
#include <cstdlib>

#include "backend/tiers.hpp"
#include "tier.hpp"

namespace {

// The first line on which two transcripts differ.
std::string line_at(const std::string& text, std::size_t offset) {
    const std::size_t previous = offset == 0 ? std::string::npos : text.rfind('\n', offset - 1);
    const std::size_t start = previous == std::string::npos ? 0 : previous + 1;
    return text.substr(start, text.find('\n', offset) - start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::span<const unsigned char> input(data, size);
    using vantorq::backend::TIERS;
    const std::string expected = vantorq::fuzz::transcript(input, TIERS[0].processor);
    for (const auto& tier : std::span(TIERS).subspan(1)) {
        if (!vantorq::backend::processor().runs(tier.processor)) continue;
        const std::string actual = vantorq::fuzz::transcript(input, tier.processor);
        if (actual == expected) continue;
        std::size_t at = 0;
        while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
        std::fprintf(stderr, "tier %s differs from scalar:\n  scalar: %s\n  %s: %s\n", tier.name.data(),
                     line_at(expected, at).c_str(), tier.name.data(), line_at(actual, at).c_str());
        std::abort();
    }
    return 0;
}
