#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "backend/invariant.hpp"
#include "base64/alphabet.hpp"
#include "base64/decode.hpp"
#include "base64/described_tiers.hpp"
#include "base64/encode.hpp"
#include "base64/error.hpp"
#include "base64/lengths.hpp"
#include "base64/reference.hpp"

namespace vantorq::base64 {
namespace {

using testing::as_string;
using testing::random_bytes;
using testing::reference_encode;
using testing::reference_wrap;

std::string scalar_encode(const std::string& text, const Symbols& symbols = STANDARD_SYMBOLS) {
    std::string out(padded_encoded_length(text.size()), '?');
    encode::encode_scalar_ptr_with_alphabet(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                                            reinterpret_cast<unsigned char*>(out.data()), symbols);
    return out;
}

struct KnownVector {
    std::string plain;
    std::string standard;
    std::string url_safe;
};

class ScalarEncoderKnownVectors : public ::testing::TestWithParam<KnownVector> {};

TEST_P(ScalarEncoderKnownVectors, GivesTheRfc4648Text) {
    EXPECT_EQ(scalar_encode(GetParam().plain), GetParam().standard);
    EXPECT_EQ(scalar_encode(GetParam().plain, URL_SAFE_SYMBOLS), GetParam().url_safe);
}

INSTANTIATE_TEST_SUITE_P(Rfc4648, ScalarEncoderKnownVectors,
                         ::testing::Values(KnownVector{"", "", ""}, KnownVector{"f", "Zg==", "Zg=="},
                                           KnownVector{"fo", "Zm8=", "Zm8="}, KnownVector{"foo", "Zm9v", "Zm9v"},
                                           KnownVector{"foob", "Zm9vYg==", "Zm9vYg=="},
                                           KnownVector{"fooba", "Zm9vYmE=", "Zm9vYmE="},
                                           KnownVector{"foobar", "Zm9vYmFy", "Zm9vYmFy"},
                                           KnownVector{"hello", "aGVsbG8=", "aGVsbG8="},
                                           KnownVector{"\xfb\xff", "+/8=", "-_8="},
                                           KnownVector{"\xff\xff\xfe", "///+", "___-"}));

TEST(ScalarEncoder, EveryLengthMatchesTheBitStreamEncoding) {
    for (std::size_t len = 0; len <= 300; ++len) {
        const auto bytes = random_bytes(len, static_cast<std::uint32_t>(len));
        const std::string plain = as_string(bytes.data(), len);
        ASSERT_EQ(scalar_encode(plain), reference_encode(bytes.data(), len, STANDARD_SYMBOLS)) << len;
        ASSERT_EQ(padded_encoded_length(len), reference_encode(bytes.data(), len, STANDARD_SYMBOLS).size());
        ASSERT_EQ(unpadded_encoded_length(len), reference_encode(bytes.data(), len, STANDARD_SYMBOLS, false).size());
    }
}

TEST(Lengths, WrappedLengthCountsOneLineFeedBetweenLines) {
    for (std::size_t encoded = 0; encoded <= 100; ++encoded) {
        for (const std::size_t wrapcol : {4u, 8u, 76u}) {
            EXPECT_EQ(wrapped_length(encoded, wrapcol), reference_wrap(std::string(encoded, 'A'), wrapcol).size());
        }
    }
}

// --- alphabets ---

class AltcharsAlphabet : public ::testing::TestWithParam<std::pair<unsigned char, unsigned char>> {};

// The vector encoders add offsets by class instead of looking symbols up; the
// record's offsets must reproduce its symbols for every value.
TEST_P(AltcharsAlphabet, OffsetsReproduceTheSymbols) {
    const auto [c62, c63] = GetParam();
    const EncodeAlphabet alphabet = EncodeAlphabet::with_altchars(c62, c63);
    ASSERT_TRUE(alphabet.vector_capable());
    EXPECT_EQ(alphabet.symbols[62], c62);
    EXPECT_EQ(alphabet.symbols[63], c63);
    for (unsigned value = 0; value < 64; ++value) {
        const unsigned cls = value < 26 ? 0 : value < 52 ? 1 : value - 50;
        const auto character = static_cast<unsigned char>(value + alphabet.offsets[cls]);
        EXPECT_EQ(character, alphabet.symbols[value]) << value;
    }
    EXPECT_TRUE(EncodeAlphabet::from_symbols(alphabet.symbols).vector_capable());
    EXPECT_EQ(EncodeAlphabet::from_symbols(alphabet.symbols).symbols, alphabet.symbols);
}

INSTANTIATE_TEST_SUITE_P(Pairs, AltcharsAlphabet,
                         ::testing::Values(std::pair<unsigned char, unsigned char>{'+', '/'},
                                           std::pair<unsigned char, unsigned char>{'-', '_'},
                                           std::pair<unsigned char, unsigned char>{'.', ','},
                                           std::pair<unsigned char, unsigned char>{0, 255},
                                           std::pair<unsigned char, unsigned char>{200, 'A'},
                                           std::pair<unsigned char, unsigned char>{'*', '*'}));

TEST(EncodeAlphabet, KindsFollowTheSymbols) {
    using Kind = EncodeAlphabet::Kind;
    EXPECT_EQ(EncodeAlphabet::with_altchars('-', '_').kind, Kind::UrlSafe);
    EXPECT_EQ(EncodeAlphabet::with_altchars('+', '/').kind, Kind::Custom);
    EXPECT_EQ(EncodeAlphabet::from_symbols(STANDARD_SYMBOLS).kind, Kind::Standard);
    EXPECT_EQ(EncodeAlphabet::from_symbols(URL_SAFE_SYMBOLS).kind, Kind::UrlSafe);
    Symbols reordered = STANDARD_SYMBOLS;
    std::swap(reordered[0], reordered[1]);
    EXPECT_EQ(EncodeAlphabet::from_symbols(reordered).kind, Kind::CustomScalarOnly);
    EXPECT_FALSE(EncodeAlphabet::from_symbols(reordered).vector_capable());
}

struct TableCase {
    DecodeAlphabet alphabet;
    std::string accepted;
};

class DecodeTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(DecodeTables, AcceptExactlyTheirSymbols) {
    const DecodeTable& table = decode_table(GetParam().alphabet);
    const std::string& accepted = GetParam().accepted;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const auto pos = accepted.find(static_cast<char>(byte));
        if (pos == std::string::npos) {
            EXPECT_EQ(table[byte], INVALID_SYMBOL) << byte;
        } else {
            EXPECT_EQ(table[byte], pos < 64 ? pos : pos - 2) << byte;
        }
    }
}

const std::string STANDARD_TEXT(STANDARD_SYMBOLS.begin(), STANDARD_SYMBOLS.end());
const std::string URL_TEXT(URL_SAFE_SYMBOLS.begin(), URL_SAFE_SYMBOLS.end());

INSTANTIATE_TEST_SUITE_P(Alphabets, DecodeTables,
                         ::testing::Values(TableCase{DecodeAlphabet::Standard, STANDARD_TEXT},
                                           TableCase{DecodeAlphabet::UrlSafe, URL_TEXT},
                                           TableCase{DecodeAlphabet::Mixed, STANDARD_TEXT + "-_"},
                                           TableCase{static_cast<DecodeAlphabet>(7), STANDARD_TEXT + "-_"}));

// --- scalar wrapped encoder ---

std::string scalar_wrapped(const std::vector<unsigned char>& bytes, std::size_t wrapcol, bool pad,
                           const Symbols& symbols = STANDARD_SYMBOLS) {
    const std::size_t encoded = pad ? padded_encoded_length(bytes.size()) : unpadded_encoded_length(bytes.size());
    std::string out(wrapped_length(encoded, wrapcol) + 8, '?');
    WrapCursor cursor{reinterpret_cast<unsigned char*>(out.data()), wrapcol};
    encode::encode_scalar_wrapped_with_alphabet(bytes.data(), bytes.size(), cursor, symbols, pad);
    out.resize(static_cast<std::size_t>(cursor.out - reinterpret_cast<unsigned char*>(out.data())));
    return out;
}

TEST(ScalarWrapped, KnownLayouts) {
    const std::vector<unsigned char> hello = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(scalar_wrapped(hello, 4, false), "aGVs\nbG8");
    EXPECT_EQ(scalar_wrapped(hello, 4, true), "aGVs\nbG8=");
    const std::vector<unsigned char> twelve(12, 0);
    EXPECT_EQ(scalar_wrapped(twelve, 8, true), "AAAAAAAA\nAAAAAAAA");
    EXPECT_EQ(scalar_wrapped({}, 4, true), "");
}

class ScalarWrappedLayout : public ::testing::TestWithParam<std::tuple<std::size_t, bool>> {};

TEST_P(ScalarWrappedLayout, EqualsTheWrappedReference) {
    const auto [wrapcol, pad] = GetParam();
    for (std::size_t len = 0; len <= 120; ++len) {
        const auto bytes = random_bytes(len, static_cast<std::uint32_t>(len * 7 + wrapcol));
        const std::string expected = reference_wrap(reference_encode(bytes.data(), len, URL_SAFE_SYMBOLS, pad), wrapcol);
        ASSERT_EQ(scalar_wrapped(bytes, wrapcol, pad, URL_SAFE_SYMBOLS), expected) << len;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ScalarWrappedLayout,
                         ::testing::Combine(::testing::Values(4, 8, 12, 16, 20, 76), ::testing::Bool()));

TEST(ScalarWrapped, ContinuesACursorMidLine) {
    const auto bytes = random_bytes(40, 3);
    std::string out(200, '?');
    WrapCursor cursor{reinterpret_cast<unsigned char*>(out.data()), 12, 8};
    encode::encode_scalar_wrapped_with_alphabet(bytes.data(), bytes.size(), cursor, STANDARD_SYMBOLS, true);
    out.resize(static_cast<std::size_t>(cursor.out - reinterpret_cast<unsigned char*>(out.data())));
    // Eight characters already stand on the line: room for one more group.
    const std::string expected = reference_wrap("########" + reference_encode(bytes.data(), 40, STANDARD_SYMBOLS), 12);
    EXPECT_EQ(out, expected.substr(8));
    EXPECT_EQ(cursor.column, expected.size() - expected.rfind('\n') - 1);
}

// --- scalar decoder ---

struct Decoded {
    error::KernelResult result;
    std::vector<unsigned char> bytes;
};

Decoded decode_text(const std::string& text, DecodeAlphabet alphabet) {
    const std::size_t padding = text.size() >= 4 ? (text.ends_with("==") ? 2 : text.ends_with("=") ? 1 : 0) : 0;
    Decoded out;
    out.bytes.assign(decoded_length(text.size(), padding), 0);
    out.result = decode::decode_to_ptr_with_layout_mode_on(testing::scalar_table(),
                                                           reinterpret_cast<const unsigned char*>(text.data()),
                                                           text.size(), out.bytes.data(), padding, alphabet);
    return out;
}

class ScalarDecoderRoundTrip : public ::testing::TestWithParam<DecodeAlphabet> {};

TEST_P(ScalarDecoderRoundTrip, RecoversEveryLength) {
    const DecodeAlphabet alphabet = GetParam();
    const Symbols& symbols = alphabet == DecodeAlphabet::UrlSafe ? URL_SAFE_SYMBOLS : STANDARD_SYMBOLS;
    for (std::size_t len = 0; len <= 200; ++len) {
        const auto bytes = random_bytes(len, static_cast<std::uint32_t>(len + 1000));
        const Decoded decoded = decode_text(reference_encode(bytes.data(), len, symbols), alphabet);
        ASSERT_TRUE(decoded.result.ok()) << len;
        ASSERT_EQ(decoded.bytes, bytes) << len;
    }
}

INSTANTIATE_TEST_SUITE_P(Alphabets, ScalarDecoderRoundTrip,
                         ::testing::Values(DecodeAlphabet::Standard, DecodeAlphabet::UrlSafe, DecodeAlphabet::Mixed));

TEST(ScalarDecoder, KnownTexts) {
    const Decoded hello = decode_text("aGVsbG8=", DecodeAlphabet::Standard);
    EXPECT_TRUE(hello.result.ok());
    EXPECT_EQ(as_string(hello.bytes.data(), hello.bytes.size()), "hello");
    const Decoded one = decode_text("Zg==", DecodeAlphabet::Standard);
    EXPECT_EQ(one.bytes, std::vector<unsigned char>{'f'});
}

TEST(ScalarDecoder, IgnoresBitsBeyondTheLastByte) {
    // "Zh==" and "Zg==" differ only in the low 4 bits of the second character.
    EXPECT_EQ(decode_text("Zh==", DecodeAlphabet::Standard).bytes, std::vector<unsigned char>{'f'});
    EXPECT_EQ(decode_text("Zm9=", DecodeAlphabet::Standard).bytes, decode_text("Zm8=", DecodeAlphabet::Standard).bytes);
}

struct AlphabetVerdict {
    std::string text;
    DecodeAlphabet alphabet;
    bool accepted;
};

class ScalarDecoderAlphabets : public ::testing::TestWithParam<AlphabetVerdict> {};

TEST_P(ScalarDecoderAlphabets, AcceptOnlyTheirSymbols) {
    EXPECT_EQ(decode_text(GetParam().text, GetParam().alphabet).result.ok(), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Symbols, ScalarDecoderAlphabets,
    ::testing::Values(AlphabetVerdict{"ab+/", DecodeAlphabet::Standard, true},
                      AlphabetVerdict{"ab-_", DecodeAlphabet::Standard, false},
                      AlphabetVerdict{"ab+/", DecodeAlphabet::UrlSafe, false},
                      AlphabetVerdict{"ab-_", DecodeAlphabet::UrlSafe, true},
                      AlphabetVerdict{"ab+_", DecodeAlphabet::Mixed, true},
                      AlphabetVerdict{"ab-/", DecodeAlphabet::Mixed, true},
                      AlphabetVerdict{"abcd=AAA", DecodeAlphabet::Mixed, false},
                      AlphabetVerdict{"abcd\nAAA", DecodeAlphabet::Standard, false},
                      AlphabetVerdict{"ab\x80=", DecodeAlphabet::Standard, false},
                      AlphabetVerdict{"a===", DecodeAlphabet::Standard, false}));

TEST(ScalarDecoder, MixedDecodesBothSpellingsAlike) {
    EXPECT_EQ(decode_text("+/+/", DecodeAlphabet::Mixed).bytes, decode_text("-_-_", DecodeAlphabet::Mixed).bytes);
    EXPECT_EQ(decode_text("+/+/", DecodeAlphabet::Mixed).bytes, decode_text("+/+/", DecodeAlphabet::Standard).bytes);
}

class ScalarDecoderInvalidPosition : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ScalarDecoderInvalidPosition, RejectsOneBadByteAnywhere) {
    const auto bytes = random_bytes(75, 5);
    std::string text = reference_encode(bytes.data(), bytes.size(), STANDARD_SYMBOLS);
    ASSERT_EQ(text.size(), 100u);
    text[GetParam()] = '*';
    EXPECT_EQ(decode_text(text, DecodeAlphabet::Standard).result, error::KernelResult::invalid_input());
}

INSTANTIATE_TEST_SUITE_P(Positions, ScalarDecoderInvalidPosition, ::testing::Range<std::size_t>(0, 100));

TEST(ScalarDecoder, CallerErrorsAreInvariantFailures) {
    unsigned char out[8];
    const auto text = reinterpret_cast<const unsigned char*>("abcdefg=");
    EXPECT_THROW(decode::decode_to_ptr_with_layout_mode(text, 7, out, 0, DecodeAlphabet::Standard),
                 vantorq::backend::InvariantFailure);
    EXPECT_THROW(decode::decode_to_ptr_with_layout_mode(text, 0, out, 1, DecodeAlphabet::Standard),
                 vantorq::backend::InvariantFailure);
    EXPECT_THROW(decode::decode_to_ptr_with_layout_mode(text, 8, out, 3, DecodeAlphabet::Standard),
                 vantorq::backend::InvariantFailure);
}

}  // namespace
}  // namespace vantorq::base64
