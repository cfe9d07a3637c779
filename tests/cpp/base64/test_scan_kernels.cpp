#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base64/alphabet.hpp"
#include "base64/described_tiers.hpp"
#include "base64/reference.hpp"
#include "base64/scan.hpp"

namespace vantorq::base64::scan {
namespace {

using testing::CanaryDestination;
using testing::GuardedBytes;
using testing::TierTable;
using Counter = std::size_t (*)(const unsigned char*, std::size_t, ExtraSymbols);

// The sets the kernels must recognise, told by the decode tables rather than
// by the kernels' own classification.
bool reference_symbol(unsigned char byte, ExtraSymbols extra) {
    return STANDARD_DECODE_TABLE[byte] != INVALID_SYMBOL || byte == extra.first || byte == extra.second;
}
bool reference_alphanumeric(unsigned char byte) {
    return STANDARD_DECODE_TABLE[byte] != INVALID_SYMBOL && byte != '+' && byte != '/';
}

// A tier's counter, and the one the same processor without POPCNT gets.
std::vector<Counter> counters(const TierTable& tier) {
    backend::Processor without_popcnt = tier.processor;
    without_popcnt.extensions &= ~backend::Processor::POPCNT;
    return {tier.table.symbol_count, runtime_dispatch::for_processor(without_popcnt).symbol_count};
}

bool same_scans(const TierTable& a, const TierTable& b) {
    const DecodeByteKernels &x = a.table.byte_kernels, &y = b.table.byte_kernels;
    return x.alphanumeric_prefix == y.alphanumeric_prefix && x.symbol_prefix == y.symbol_prefix &&
           x.translate == y.translate && x.compact_symbols == y.compact_symbols &&
           x.compact_symbols_checked == y.compact_symbols_checked && counters(a) == counters(b) &&
           a.table.decode_gathered_prefix == b.table.decode_gathered_prefix;
}

const ExtraSymbols EXTRAS[] = {{}, {'-', '_'}, {'.', ','}, {0x00, 0xFF}};

// Whole quanta of standard symbols, decoded one at a time.
std::string reference_decode(const std::string& symbols) {
    std::string decoded;
    for (std::size_t i = 0; i + 4 <= symbols.size(); i += 4) {
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 4; ++j)
            group = group << 6 | STANDARD_DECODE_TABLE[static_cast<unsigned char>(symbols[i + j])];
        for (const int shift : {16, 8, 0}) decoded += static_cast<char>(group >> shift & 0xFF);
    }
    return decoded;
}

// The one-pass decoder takes whole quanta (whole lines, then groups of 64
// symbols), leaves fewer than two registers' worth undecoded unless stopped
// by the capacity or (checked) by a byte neither a symbol nor noise, and
// writes nothing else.
void expect_gathered_decode_matches(const TierTable& tier, const std::vector<unsigned char>& bytes,
                                    const GuardedBytes& text, std::size_t line = 0) {
    const std::size_t len = bytes.size();
    const AllowedNoise noise{{'\n', '\r', '=', ' '}};
    const auto symbol = [](unsigned char byte) { return reference_symbol(byte, {}); };
    const auto allowed = [&](unsigned char byte) {
        return symbol(byte) || byte == '\n' || byte == '\r' || byte == '=' || byte == ' ';
    };
    for (const bool checked : {false, true}) {
        for (const std::size_t capacity : {len, std::size_t{100}}) {
            SCOPED_TRACE(::testing::Message() << "checked " << checked << " capacity " << capacity);
            CanaryDestination out(capacity, 0);
            const auto prefix = tier.table.decode_gathered_prefix(text.data(), len, out.data(), capacity, DecodeAlphabet::Standard,
                                                                   checked ? std::optional(noise) : std::nullopt,
                                                                   line);
            ASSERT_LE(prefix.consumed, len);
            std::string taken, left;
            std::copy_if(bytes.begin(), bytes.begin() + prefix.consumed, std::back_inserter(taken), symbol);
            std::copy_if(bytes.begin() + prefix.consumed, bytes.end(), std::back_inserter(left), symbol);
            EXPECT_EQ(taken.size() % 4, 0u);
            EXPECT_EQ(out.prefix(prefix.written), reference_decode(taken));
            EXPECT_TRUE(out.untouched_from(prefix.written));
            const auto first_disallowed = std::find_if_not(bytes.begin(), bytes.end(), allowed) - bytes.begin();
            if (checked) EXPECT_LE(prefix.consumed, static_cast<std::size_t>(first_disallowed));
            if (capacity == len && (!checked || static_cast<std::size_t>(first_disallowed) == len))
                EXPECT_LT(left.size(), 128u);
        }
    }
}

void expect_kernels_match(const TierTable& tier, const std::vector<unsigned char>& bytes) {
    const DecodeByteKernels& kernels = tier.table.byte_kernels;
    const GuardedBytes text(bytes);
    const std::size_t len = bytes.size();
    const auto first_outside = [&](auto&& inside) {
        return static_cast<std::size_t>(std::find_if_not(bytes.begin(), bytes.end(), inside) - bytes.begin());
    };
    EXPECT_EQ(kernels.alphanumeric_prefix(text.data(), len), first_outside(reference_alphanumeric));

    for (const ExtraSymbols extra : EXTRAS) {
        SCOPED_TRACE(testing::as_string(&extra.first, 2));
        const auto symbol = [&](unsigned char byte) { return reference_symbol(byte, extra); };
        EXPECT_EQ(kernels.symbol_prefix(text.data(), len, extra), first_outside(symbol));
        std::string symbols;
        std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(symbols), symbol);
        for (const Counter count : counters(tier)) EXPECT_EQ(count(text.data(), len, extra), symbols.size());

        // A room smaller than the symbols stops early; calls resumed where
        // the last one stopped gather them all, never writing past the room.
        for (const std::size_t room : {symbols.size(), symbols.size() / 2 + 1, std::size_t{33}}) {
            CanaryDestination stage(symbols.size(), 0);
            std::size_t read = 0, written = 0;
            while (read < len && written < symbols.size()) {
                const std::size_t limit = std::min(room, symbols.size() - written);
                const Compacted step =
                    kernels.compact_symbols(text.data() + read, len - read, stage.data() + written, limit, extra);
                ASSERT_LE(step.written, limit);
                ASSERT_TRUE(step.consumed != 0 || step.written != 0) << "no progress at " << read;
                ASSERT_TRUE(stage.untouched_from(written + limit));
                read += step.consumed;
                written += step.written;
            }
            EXPECT_EQ(stage.prefix(written), symbols);
            EXPECT_TRUE(stage.untouched_from(symbols.size()));
        }
    }

    // Checked compaction: symbols gathered up to a stop within one register
    // of the first byte that is neither a symbol nor allowed noise.
    const AllowedNoise noise{{'\n', '\r', '=', ' '}};
    const auto allowed = [&](unsigned char byte) {
        return reference_symbol(byte, {}) || byte == '\n' || byte == '\r' || byte == '=' || byte == ' ';
    };
    const std::size_t first_disallowed = first_outside(allowed);
    CanaryDestination stage(len, 0);
    std::size_t read = 0, written = 0;
    bool stopped = false;
    while (read < len && !stopped) {
        const Compacted step =
            kernels.compact_symbols_checked(text.data() + read, len - read, stage.data() + written,
                                                 len - written, {}, noise);
        read += step.consumed;
        written += step.written;
        stopped = step.disallowed;
    }
    EXPECT_EQ(stopped, first_disallowed < len);
    if (stopped) {
        EXPECT_LE(read, first_disallowed);
        EXPECT_LT(first_disallowed - read, std::size_t{32});
    }
    std::string gathered;
    std::copy_if(bytes.begin(), bytes.begin() + read, std::back_inserter(gathered),
                 [](unsigned char byte) { return reference_symbol(byte, {}); });
    EXPECT_EQ(stage.prefix(written), gathered);

    for (const ByteMapping mapping : {ByteMapping{'-', '+', '_', '/'}, ByteMapping{'a', 'b', 'a', 'c'}}) {
        std::vector<unsigned char> expected = bytes;
        for (auto& byte : expected)
            byte = byte == mapping.from_second ? mapping.to_second : byte == mapping.from_first ? mapping.to_first : byte;
        CanaryDestination translated(len, 0);
        std::copy(bytes.begin(), bytes.end(), translated.data());
        kernels.translate(translated.data(), len, mapping);
        EXPECT_EQ(translated.prefix(len), testing::as_string(expected.data(), len));
        EXPECT_TRUE(translated.untouched_from(len));
    }
    if (tier.table.decode_gathered_prefix != nullptr) expect_gathered_decode_matches(tier, bytes, text);
}

class ScanKernels : public ::testing::TestWithParam<TierTable> {
protected:
    void SetUp() override {
        const TierTable& tier = GetParam();
        if (!tier.runs_here()) GTEST_SKIP() << "processor lacks the tier";
        for (const TierTable& earlier : testing::tier_tables()) {
            if (earlier.name == tier.name) break;
            if (same_scans(earlier, tier)) GTEST_SKIP() << "the scans of " << earlier.name << ", tested there";
        }
    }
};

// Mostly symbols, with noise (any byte) about once in 24 bytes.
std::vector<unsigned char> noisy_text(std::size_t len, std::mt19937& rng) {
    std::vector<unsigned char> text(len);
    for (auto& byte : text) {
        byte = rng() % 24 == 0 ? static_cast<unsigned char>(rng()) : STANDARD_SYMBOLS[rng() % 64];
    }
    return text;
}

TEST_P(ScanKernels, MatchTheScalarFormsAtEveryLength) {
    std::mt19937 rng(7);
    for (std::size_t len = 0; len <= 300; ++len) {
        SCOPED_TRACE(len);
        expect_kernels_match(GetParam(), noisy_text(len, rng));
    }
}

TEST_P(ScanKernels, SeeEveryByteValueAtEveryPositionOfAWindow) {
    std::mt19937 rng(8);
    // Two registers: a changed byte in the first holds back a symbol that the second completes.
    std::vector<unsigned char> window(128);
    for (auto& byte : window) byte = STANDARD_SYMBOLS[rng() % 64];
    for (unsigned value = 0; value < 256; ++value) {
        for (std::size_t position = 0; position < window.size(); ++position) {
            SCOPED_TRACE(::testing::Message() << "byte " << value << " at " << position);
            std::vector<unsigned char> text = window;
            text[position] = static_cast<unsigned char>(value);
            expect_kernels_match(GetParam(), text);
        }
    }
}

// Lines as encoders wrap them, the one-pass decoder told their length: every
// byte value at every position of the first two lines.
TEST_P(ScanKernels, DecodeWrappedTextWithEveryByteValueAtEveryPosition) {
    if (GetParam().table.decode_gathered_prefix == nullptr) GTEST_SKIP() << "the tier has no one-pass decoder";
    std::mt19937 rng(9);
    const std::pair<std::size_t, std::string> shapes[] = {{76, "\n"}, {64, "\r\n"}, {32, "\n"}, {124, "\r\n"}};
    for (const auto& [line, separator] : shapes) {
        std::vector<unsigned char> wrapped(separator.begin(), separator.end());
        for (int lines = 0; lines < 3; ++lines) {
            for (std::size_t j = 0; j < line; ++j) wrapped.push_back(STANDARD_SYMBOLS[rng() % 64]);
            wrapped.insert(wrapped.end(), separator.begin(), separator.end());
        }
        for (unsigned value = 0; value < 256; ++value) {
            for (std::size_t position = 0; position < 2 * (line + separator.size()); ++position) {
                SCOPED_TRACE(::testing::Message() << "line " << line << " byte " << value << " at " << position);
                std::vector<unsigned char> text = wrapped;
                text[position] = static_cast<unsigned char>(value);
                expect_gathered_decode_matches(GetParam(), text, GuardedBytes(text), line);
            }
        }
    }
}

// The tiers, and the byte-by-byte scans where no tier's table holds them
// (processors with vector scans in every table).
std::vector<TierTable> scan_tiers() {
    std::vector<TierTable> tiers = testing::tier_tables();
    TierTable scalar = tiers.front();
    if (scalar.table.byte_kernels.compact_symbols != scan::scalar::compact_symbols) {
        scalar.name = "scalar_scans";
        scalar.table.byte_kernels = scan::scalar::table_entries();
        tiers.push_back(scalar);
    }
    return tiers;
}

INSTANTIATE_TEST_SUITE_P(Tiers, ScanKernels, ::testing::ValuesIn(scan_tiers()), testing::tier_name);

}  // namespace
}  // namespace vantorq::base64::scan
