// The driver of every fuzz target: the target's transcript of the input on
// each tier this processor has, each equal to the scalar tier's.

#include <cstdio>
#include <cstdlib>

#include "tier.hpp"

#define VANTORQ_FUZZ_DECLARE(tier)                          \
    namespace vantorq_fuzz_##tier::fuzz {                   \
    bool tier_present();                                    \
    std::string transcript(std::span<const unsigned char>); \
    }
VANTORQ_FUZZ_TIERS(VANTORQ_FUZZ_DECLARE)

namespace {

struct Tier {
    const char* name;
    bool (*present)();
    std::string (*transcript)(std::span<const unsigned char>);
};

#define VANTORQ_FUZZ_ENTRY(tier) \
    {#tier, vantorq_fuzz_##tier::fuzz::tier_present, vantorq_fuzz_##tier::fuzz::transcript},
const Tier TIERS[] = {VANTORQ_FUZZ_TIERS(VANTORQ_FUZZ_ENTRY)};

// The first line on which two transcripts differ.
std::string line_at(const std::string& text, std::size_t offset) {
    const std::size_t previous = offset == 0 ? std::string::npos : text.rfind('\n', offset - 1);
    const std::size_t start = previous == std::string::npos ? 0 : previous + 1;
    return text.substr(start, text.find('\n', offset) - start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::span<const unsigned char> input(data, size);
    const std::string expected = TIERS[0].transcript(input);
    for (const Tier& tier : std::span(TIERS).subspan(1)) {
        if (!tier.present()) continue;
        const std::string actual = tier.transcript(input);
        if (actual == expected) continue;
        std::size_t at = 0;
        while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
        std::fprintf(stderr, "tier %s differs from scalar:\n  scalar: %s\n  %s: %s\n", tier.name,
                     line_at(expected, at).c_str(), tier.name, line_at(actual, at).c_str());
        std::abort();
    }
    return 0;
}
