#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base64/described_tiers.hpp"
#include "base64/pybase64_rules.hpp"
#include "base64/reference.hpp"

namespace vantorq::base64 {
namespace {

namespace rules = pybase64;
using testing::TierTable;

// A result of any size, kept as the test's own memory.
class VectorSink final : public Sink {
public:
    unsigned char* reserve(std::size_t capacity) override {
        bytes.assign(capacity + 1, 0);
        return bytes.data();
    }
    std::vector<unsigned char> bytes;
};

struct Result {
    DecodeStatus status;
    std::string bytes_or_message;
    friend bool operator==(const Result&, const Result&) = default;
    friend void PrintTo(const Result& result, std::ostream* os) {
        *os << static_cast<int>(result.status) << " " << ::testing::PrintToString(result.bytes_or_message);
    }
};

Result result_of(const DecodeOutcome& outcome, const VectorSink& sink) {
    if (outcome.status == DecodeStatus::Written)
        return {outcome.status, testing::as_string(sink.bytes.data(), outcome.count)};
    return {outcome.status, outcome.status == DecodeStatus::Rejected ? outcome.message() : ""};
}

// Base64 of random bytes with noise put in (also after the padding), and
// short runs of noise alone.
std::vector<std::string> texts() {
    const std::string noise = "+/-_=\n @,;A\x80";
    std::mt19937 rng(20260112);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < 400; ++i) {
        const std::size_t length = i < 300 ? i % 100 : 700 + i;
        const auto data = testing::random_bytes(length, static_cast<std::uint32_t>(i));
        std::string text = testing::reference_encode(data.data(), data.size(), STANDARD_SYMBOLS, i % 3 != 0);
        for (std::size_t k = rng() % 4; k > 0; --k) text.insert(rng() % (text.size() + 1), 1, noise[rng() % noise.size()]);
        out.push_back(text);
        out.push_back(text + noise[rng() % noise.size()]);  // after the padding
        std::string alone(rng() % 9, '\0');
        for (char& c : alone) c = noise[rng() % noise.size()];
        out.push_back(alone);
    }
    return out;
}

std::vector<rules::Options> option_sets() {
    const std::optional<AltcharPair> pairs[] = {std::nullopt, AltcharPair{'-', '_'}, AltcharPair{',', ';'},
                                                AltcharPair{'/', '+'}, AltcharPair{'+', '_'}};
    static const std::string IGNORED[] = {"", "\n", " \n=", "=", "A", "A=", "-_="};
    std::vector<rules::Options> sets;
    for (const auto& pair : pairs)
        for (const bool padded : {true, false})
            for (const bool canonical : {false, true}) {
                for (const bool validate : {false, true}) sets.push_back({pair, validate, padded, canonical, {}});
                for (const std::string& ignored : IGNORED)
                    sets.push_back({pair, true, padded, canonical,
                                    Text{reinterpret_cast<const unsigned char*>(ignored.data()), ignored.size()}});
            }
    return sets;
}

class Pybase64Rules : public ::testing::TestWithParam<TierTable> {};

// Wherever the native decoders settle a text, they settle it as the rules do.
TEST_P(Pybase64Rules, NativeRouteGivesTheRulesResult) {
    const TierTable& tier = GetParam();
    if (!tier.runs_here()) GTEST_SKIP() << "this processor lacks " << tier.name;
    const auto all_texts = texts();
    for (const rules::Options& options : option_sets()) {
        const rules::Decoder decoder(options, tier.table);
        for (const std::string& text : all_texts) {
            const Text span{reinterpret_cast<const unsigned char*>(text.data()), text.size()};
            VectorSink routed, by_rules;
            const Result expected = result_of(decoder.decode_by_rules(span, by_rules), by_rules);
            ASSERT_EQ(result_of(decoder.decode(span, routed), routed), expected)
                << ::testing::PrintToString(text) << " validate " << options.validate << " padded " << options.padded
                << " canonical " << options.canonical;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tiers, Pybase64Rules, ::testing::ValuesIn(testing::tier_tables()), testing::tier_name);

}  // namespace
}  // namespace vantorq::base64
