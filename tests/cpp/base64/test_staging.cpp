#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base64/configured.hpp"
#include "base64/decoder.hpp"
#include "base64/reference.hpp"
#include "base64/staging.hpp"

namespace vantorq::base64::staging {
namespace {

using testing::random_bytes;
using testing::reference_encode;

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

class StagingBoundaries : public ::testing::TestWithParam<Pair> {};

// A first run that ends exactly at, one before and one after the end of a
// staging block, then runs of a MIME line's length.
TEST_P(StagingBoundaries, WriterAndCounterAgreeWithTheEncodedData) {
    const auto [c62, c63] = GetParam();
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
        StagingWriter writer(out.data(), out.size(), DecodeAlphabet::Standard, translation);
        StagingWriter counter(nullptr, SIZE_MAX, DecodeAlphabet::Standard, translation);
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
            {.c62 = c62, .c63 = c63, .padded = false, .ignorechars = line_feed});
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

INSTANTIATE_TEST_SUITE_P(Pairs, StagingBoundaries, ::testing::Values(Pair{'+', '/'}, Pair{'.', ','}),
                         [](const auto& info) { return info.param.c62 == '+' ? "standard" : "translated"; });

// An empty text may come as a null pointer; no route may hand it to the C library.
TEST(EmptyText, EveryRouteDecodesANullPointerToNothing) {
    const unsigned char space[] = {' '};
    const std::optional<AltcharPair> dotted = AltcharPair{'.', ','};
    for (const auto& options : {DecoderOptions{}, DecoderOptions{.altchars = dotted},
                                DecoderOptions{.altchars = dotted, .validate = true, .padded = false},
                                DecoderOptions{.altchars = dotted, .canonical = true, .ignorechars = Text(space)},
                                DecoderOptions{.decodes_past_padding = false, .warns_of_legacy_characters = true}}) {
        const Decoder decoder(options);
        EXPECT_EQ(decoder.decode(Text{}, std::span<unsigned char>{}), (DecodeOutcome{DecodeStatus::Written, 0}));
        EXPECT_EQ(decoder.legacy_warning_byte(Text{}), std::nullopt);
    }
    EXPECT_TRUE(strict_base64_310(Text{}));
}

}  // namespace
}  // namespace vantorq::base64::staging
