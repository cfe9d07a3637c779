#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base64/configured.hpp"
#include "base64/decoder.hpp"
#include "base64/described_tiers.hpp"
#include "base64/reference.hpp"
#include "base64/staging.hpp"

namespace vantorq::base64::staging {
namespace {

using testing::random_bytes;
using testing::reference_encode;
using testing::TierTable;

// Three staging blocks and a final quantum of 2 symbols.
const std::vector<unsigned char> DATA = random_bytes(9217, 11);

// Hands `count` symbols to the writer in as many pieces as its room asks for.
bool push(StagingWriter& writer, const unsigned char* symbols, std::size_t count) {
    while (count != 0) {
        const std::size_t piece = std::min(count, writer.room());
        std::memcpy(writer.space(), symbols, piece);
        if (!writer.commit(piece)) return false;
        symbols += piece;
        count -= piece;
    }
    return true;
}

struct Pair {
    unsigned char c62, c63;
};

class StagingBoundaries : public ::testing::TestWithParam<std::tuple<TierTable, Pair>> {};

// A first run that ends exactly at, one before and one after the end of a
// staging block, then runs of a MIME line's length.
TEST_P(StagingBoundaries, WriterAndCounterAgreeWithTheEncodedData) {
    const auto& [tier, pair] = GetParam();
    if (!tier.runs_here()) GTEST_SKIP() << "processor lacks " << tier.name;
    const auto [c62, c63] = pair;
    Symbols alphabet = STANDARD_SYMBOLS;
    alphabet[62] = c62;
    alphabet[63] = c63;
    const std::string text = reference_encode(DATA.data(), DATA.size(), alphabet, false);
    const auto* symbols = reinterpret_cast<const unsigned char*>(text.data());
    std::optional<scan::ByteMapping> translation;
    if (c62 != '+') translation = scan::ByteMapping{c62, '+', c63, '/'};
    for (const std::size_t first_run : {STAGE_SYMBOLS - 1, STAGE_SYMBOLS, STAGE_SYMBOLS + 1}) {
        SCOPED_TRACE(first_run);
        std::vector<unsigned char> out(DATA.size());
        StagingWriter writer(out.data(), out.size(), DecodeAlphabet::Standard, translation, tier.table);
        StagingWriter counter(nullptr, SIZE_MAX, DecodeAlphabet::Standard, translation, tier.table);
        for (StagingWriter* sink : {&writer, &counter}) {
            ASSERT_TRUE(push(*sink, symbols, first_run));
            for (std::size_t at = first_run; at < text.size(); at += 76)
                ASSERT_TRUE(push(*sink, symbols + at, std::min<std::size_t>(76, text.size() - at)));
            EXPECT_EQ(sink->pending(), 2u);
            ASSERT_TRUE(sink->finish());
            EXPECT_EQ(sink->written(), DATA.size());
        }
        EXPECT_EQ(out, DATA);

        // The configured decoder over the same text with a line break there.
        std::string broken = text;
        broken.insert(first_run, "\n");
        const unsigned char line_feed[] = {'\n'};
        const auto decoder = configured::ConfiguredDecoder::create(
            {.c62 = c62, .c63 = c63, .padded = false, .ignorechars = line_feed}, tier.table);
        ASSERT_TRUE(decoder);
        const auto* bytes = reinterpret_cast<const unsigned char*>(broken.data());
        EXPECT_EQ(decoder->decoded_size(bytes, broken.size()), DATA.size());
        std::vector<unsigned char> decoded(DATA.size());
        const auto result = configured::decode_configured_into(*decoder, bytes, broken.size(), decoded.data(),
                                                              decoded.size());
        EXPECT_EQ(result, (DecodeOutcome{DecodeStatus::Written, DATA.size()}));
        EXPECT_EQ(decoded, DATA);
    }
}

INSTANTIATE_TEST_SUITE_P(TiersAndPairs, StagingBoundaries,
                         ::testing::Combine(::testing::ValuesIn(testing::tier_tables()),
                                            ::testing::Values(Pair{'+', '/'}, Pair{'.', ','})),
                         [](const auto& info) {
                             return std::get<0>(info.param).name +
                                    (std::get<1>(info.param).c62 == '+' ? "_standard" : "_translated");
                         });

// An empty text may come as a null pointer; no route may hand it to the C library.
class EmptyText : public ::testing::TestWithParam<TierTable> {};

TEST_P(EmptyText, EveryRouteDecodesANullPointerToNothing) {
    if (!GetParam().runs_here()) GTEST_SKIP() << "processor lacks " << GetParam().name;
    const unsigned char space[] = {' '};
    const std::optional<AltcharPair> dotted = AltcharPair{'.', ','};
    for (const auto& options : {DecoderOptions{}, DecoderOptions{.altchars = dotted},
                                DecoderOptions{.altchars = dotted, .validate = true, .padded = false},
                                DecoderOptions{.altchars = dotted, .canonical = true, .ignorechars = Text(space)},
                                DecoderOptions{.decodes_past_padding = false, .warns_of_legacy_characters = true}}) {
        const Decoder decoder(options, GetParam().table);
        EXPECT_EQ(decoder.decode(Text{}, std::span<unsigned char>{}), (DecodeOutcome{DecodeStatus::Written, 0}));
        EXPECT_EQ(decoder.legacy_warning_byte(Text{}), std::nullopt);
    }
    EXPECT_TRUE(strict_base64_310(Text{}));
}

// A sink whose room is a vector of exactly the size asked for.
class VectorSink final : public Sink {
public:
    unsigned char* reserve(std::size_t capacity) override {
        bytes.assign(capacity, 0);
        return bytes.data();
    }
    std::vector<unsigned char> bytes;
};

// The data as encoders and people lay it out: one line, MIME and PEM lines,
// spaced groups, a stray byte, URL-safe symbols.
std::vector<std::string> noisy_texts(const std::vector<unsigned char>& data) {
    const std::string line = reference_encode(data.data(), data.size(), STANDARD_SYMBOLS);
    std::string spaced, crlf, stray = line;
    for (std::size_t i = 0; i < line.size(); i += 4) spaced += line.substr(i, 4) + " ";
    for (std::size_t i = 0; i < line.size(); i += 64) crlf += line.substr(i, 64) + "\r\n";
    stray[1000] = '*';
    return {line, testing::reference_wrap(line, 76) + "\n", spaced, crlf, stray,
            reference_encode(data.data(), data.size(), URL_SAFE_SYMBOLS)};
}

class TableDecoder : public ::testing::TestWithParam<TierTable> {};

// Every route (strict, lenient, configured; into new room and into a fixed
// destination) gives on each tier what it gives on the scalar one.
TEST_P(TableDecoder, DecodesNoisyTextAsTheScalarTierDoes) {
    if (!GetParam().runs_here()) GTEST_SKIP() << "processor lacks " << GetParam().name;
    const auto data = random_bytes(3000, 21);
    const unsigned char whitespace[] = {' ', '\n', '\r'};
    const std::optional<AltcharPair> url = AltcharPair{'-', '_'};
    const DecoderOptions requests[] = {{},
                                       {.validate = true},
                                       {.altchars = url},
                                       {.padded = false, .decodes_past_padding = false},
                                       {.ignorechars = Text(whitespace)},
                                       {.validate = true, .canonical = true, .ignorechars = Text(whitespace)}};
    for (const std::string& text : noisy_texts(data)) {
        const Text view(reinterpret_cast<const unsigned char*>(text.data()), text.size());
        for (std::size_t r = 0; r < std::size(requests); ++r) {
            SCOPED_TRACE(::testing::Message() << "request " << r << " text " << text.substr(0, 80));
            const Decoder scalar(requests[r], testing::scalar_table()), tiered(requests[r], GetParam().table);
            VectorSink expected_room, room;
            const DecodeOutcome expected = scalar.decode(view, expected_room), outcome = tiered.decode(view, room);
            EXPECT_EQ(outcome, expected);
            if (outcome.status == DecodeStatus::Written) EXPECT_EQ(room.bytes, expected_room.bytes);
            // Lenient decoding skips the whitespace of every layout.
            if (r == 0 && text.find('*') == std::string::npos && text.find('-') == std::string::npos) {
                EXPECT_EQ(outcome, (DecodeOutcome{DecodeStatus::Written, data.size()}));
            }
            // A fixed destination that fits, and one a byte short.
            for (const std::size_t size : {data.size(), data.size() - 1}) {
                std::vector<unsigned char> expected_bytes(size), bytes(size);
                const DecodeOutcome fixed = tiered.decode(view, std::span(bytes));
                EXPECT_EQ(fixed, scalar.decode(view, std::span(expected_bytes)));
                // A rejected text may leave any part of it written.
                if (fixed.status == DecodeStatus::Written) EXPECT_EQ(bytes, expected_bytes);
            }
        }
    }
}

// Where the interpreter stops at a "=" that completes a quantum inside the
// text, decoding into a destination changes nothing past the count it returns,
// whatever a strict attempt wrote before it failed.
TEST_P(TableDecoder, StopsAtInnerPaddingWithoutWritingPastTheCount) {
    if (!GetParam().runs_here()) GTEST_SKIP() << "processor lacks " << GetParam().name;
    const Decoder decoder({.decodes_past_padding = false}, GetParam().table);
    // A text short enough for the one-pass lenient decoder, and a longer one.
    for (const std::size_t size : {144, 192}) {
        const auto data = random_bytes(size, 23);
        const std::string clean = reference_encode(data.data(), data.size(), STANDARD_SYMBOLS);
        for (std::size_t position = 3; position < clean.size(); position += 4) {
            std::string text = clean;
            text[position] = '=';
            SCOPED_TRACE(::testing::Message() << size << " bytes, \"=\" at " << position);
            const Text view(reinterpret_cast<const unsigned char*>(text.data()), text.size());
            std::vector<unsigned char> bytes(clean.size(), 0xEE);
            const DecodeOutcome outcome = decoder.decode(view, std::span(bytes));
            ASSERT_EQ(outcome, (DecodeOutcome{DecodeStatus::Written, position / 4 * 3 + 2}));
            EXPECT_TRUE(std::all_of(bytes.begin() + outcome.count, bytes.end(), [](unsigned char b) { return b == 0xEE; }));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tiers, TableDecoder, ::testing::ValuesIn(testing::tier_tables()), testing::tier_name);

INSTANTIATE_TEST_SUITE_P(Tiers, EmptyText, ::testing::ValuesIn(testing::tier_tables()), testing::tier_name);

}  // namespace
}  // namespace vantorq::base64::staging
