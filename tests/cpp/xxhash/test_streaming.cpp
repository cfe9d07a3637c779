// The streaming hashers (XXH32, XXH64, XXH3 with both widths, seeded or keyed
// by a caller's secret, and the three MurmurHash3 ones, which share the
// serialised form): any split of a message gives the xxhash package's
// digests and the one-shot hashes; a digest leaves the state as it was;
// copies, resets and serialised forms carry on as the original would;
// altered or inconsistent forms are refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "murmur3/incremental.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"
#include "murmur3/x86_32.hpp"
#include "reference_values.hpp"
#include "reference_xxh3.hpp"
#include "support.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/one_shot.hpp"
#include "backend/state_bytes.hpp"
#include "xxhash/streaming.hpp"

namespace vantorq::xxhash {
namespace {

namespace state_bytes = backend::state_bytes;

using testing_support::fold;
using testing_support::pattern;
using testing_support::reference_lengths;

// Every digest a hasher gives, as words: XXH3 gives its 64-bit hash and the
// 128-bit one's halves, XXH32 and XXH64 their one hash.
using Digest = std::array<std::uint64_t, 3>;

template <class Xxh3Stream>
Digest xxh3_digests(const Xxh3Stream& h) {
    const Hash128 wide = h.digest_128();
    return {h.digest_64(), wide.low, wide.high};
}

struct Xxh3Kind {
    using Hasher = streaming::Xxh3Hasher;
    static Hasher make(std::uint64_t seed) { return Hasher(seed); }
    static Digest digest(const Hasher& h) { return xxh3_digests(h); }
    static Digest one_shot(const unsigned char* p, std::size_t n, std::uint64_t seed) {
        const Hash128 wide = one_shot::xxh3_128(p, n, seed);
        return {one_shot::xxh3_64(p, n, seed), wide.low, wide.high};
    }
    // make_reference.py's folds: the 64-bit hashes into one, the 128-bit
    // ones' halves into another.
    static Digest fold_in(Digest folds, const Digest& d) {
        return {fold(folds[0], d[0]), fold(fold(folds[1], d[1]), d[2]), 0};
    }
    static std::vector<std::pair<std::uint64_t, Digest>> reference_folds() {
        std::vector<std::pair<std::uint64_t, Digest>> out;
        for (const auto& r : reference::SEED_CHECKSUMS) out.push_back({r.seed, {r.fold_64, r.fold_128, 0}});
        return out;
    }
};

// A caller's secret in place of the seed: each seed stands for a secret of a
// size of its own, which the hasher must copy (make() lets it go), against
// the reference library's hashes.
struct Xxh3SecretKind {
    using Hasher = streaming::Xxh3SecretHasher;
    // The total length follows the header and the secret's size.
    static constexpr std::size_t LENGTH_FIELD = state_bytes::HEADER_SIZE + 8;
    static std::vector<unsigned char> secret(std::uint64_t seed) {
        return testing_support::caller_secret(SECRET_SIZE_MIN + seed % 1024);
    }
    static Hasher make(std::uint64_t seed) { return Hasher(*SecretView::of(secret(seed))); }
    static Digest digest(const Hasher& h) { return xxh3_digests(h); }
    static Digest one_shot(const unsigned char* p, std::size_t n, std::uint64_t seed) {
        const auto bytes = secret(seed);
        const Hash128 wide = testing_support::reference_128(p, n, bytes);
        return {testing_support::reference_64(p, n, bytes), wide.low, wide.high};
    }
    static Digest fold_in(Digest folds, const Digest&) { return folds; }
    static std::vector<std::pair<std::uint64_t, Digest>> reference_folds() { return {}; }
};

template <class ClassicHasher, auto ONE_SHOT, bool WIDE_SEED>
struct ClassicKind {
    using Hasher = ClassicHasher;
    static Hasher make(std::uint64_t seed) { return Hasher(static_cast<typename Hasher::Seed>(seed)); }
    static Digest digest(const Hasher& h) { return {h.digest(), 0, 0}; }
    static Digest one_shot(const unsigned char* p, std::size_t n, std::uint64_t seed) {
        return {ONE_SHOT(p, n, static_cast<typename Hasher::Seed>(seed), long_inputs::long_engine()), 0, 0};
    }
    static Digest fold_in(Digest folds, const Digest& d) { return {fold(folds[0], d[0]), 0, 0}; }
    static std::vector<std::pair<std::uint64_t, Digest>> reference_folds() {
        std::vector<std::pair<std::uint64_t, Digest>> out;
        for (const auto& r : reference::CLASSIC_CHECKSUMS)
            out.push_back(WIDE_SEED ? std::pair{r.seed_64, Digest{r.fold_xxh64, 0, 0}}
                                    : std::pair{std::uint64_t{r.seed_32}, Digest{r.fold_xxh32, 0, 0}});
        return out;
    }
};

using Xxh64Kind = ClassicKind<classic::Xxh64Hasher, classic::xxh64, true>;
using Xxh32Kind = ClassicKind<classic::Xxh32Hasher, classic::xxh32, false>;

// The MurmurHash3 words of a result, as digests.
template <class MurmurHasher, auto ONE_SHOT>
struct Murmur3Kind {
    using Hasher = MurmurHasher;
    static Hasher make(std::uint64_t seed) { return Hasher(static_cast<std::uint32_t>(seed)); }
    static Digest words(const typename Hasher::Result& result) {
        Digest d{};
        if constexpr (std::is_integral_v<typename Hasher::Result>) {
            d[0] = result;
        } else {
            static_assert(sizeof result <= sizeof d);
            std::memcpy(d.data(), result.data(), sizeof result);
        }
        return d;
    }
    static Digest digest(const Hasher& h) { return words(h.finish()); }
    static Digest one_shot(const unsigned char* p, std::size_t n, std::uint64_t seed) {
        return words(ONE_SHOT(p, n, static_cast<std::uint32_t>(seed)));
    }
    static Digest fold_in(Digest folds, const Digest&) { return folds; }
    // The reference folds are the xxhash package's.
    static std::vector<std::pair<std::uint64_t, Digest>> reference_folds() { return {}; }
};

using Murmur3X86_32Kind = Murmur3Kind<murmur3::incremental::Murmur3X86Hasher32, murmur3::x86_32::hash>;
using Murmur3X86_128Kind = Murmur3Kind<murmur3::incremental::Murmur3X86Hasher128, murmur3::x86_128::hash>;
using Murmur3X64_128Kind = Murmur3Kind<murmur3::incremental::Murmur3X64Hasher128, murmur3::x64_128::hash>;

constexpr std::uint64_t ARBITRARY_SEED = 0x5F0B3C7A91D2E486ull;

template <class Kind>
class StreamingTest : public ::testing::Test {
protected:
    using Hasher = typename Kind::Hasher;

    static void feed(Hasher& h, std::size_t from, std::size_t to) { h.update(pattern().data() + from, to - from); }
    static Digest expected(std::size_t len, std::uint64_t seed) { return Kind::one_shot(pattern().data(), len, seed); }
};

class KindNames {
public:
    template <class Kind>
    static std::string GetName(int) {
        if constexpr (std::is_same_v<Kind, Xxh3Kind>) return "xxh3";
        if constexpr (std::is_same_v<Kind, Xxh3SecretKind>) return "xxh3_secret";
        if constexpr (std::is_same_v<Kind, Xxh64Kind>) return "xxh64";
        if constexpr (std::is_same_v<Kind, Xxh32Kind>) return "xxh32";
        if constexpr (std::is_same_v<Kind, Murmur3X86_32Kind>) return "murmur3_x86_32";
        if constexpr (std::is_same_v<Kind, Murmur3X86_128Kind>) return "murmur3_x86_128";
        return "murmur3_x64_128";
    }
};

using Kinds = ::testing::Types<Xxh3Kind, Xxh3SecretKind, Xxh64Kind, Xxh32Kind, Murmur3X86_32Kind, Murmur3X86_128Kind,
                               Murmur3X64_128Kind>;
TYPED_TEST_SUITE(StreamingTest, Kinds, KindNames);

// One byte at a time, with a digest after each, then the long reference
// lengths in large chunks: every prefix's digest folded as make_reference.py
// folds the package's.
TYPED_TEST(StreamingTest, DigestOfEveryPrefixFedByteByByteIsTheReference) {
    if (TypeParam::reference_folds().empty()) GTEST_SKIP() << "no package reference folds for this hasher";
    for (const auto& [seed, expected_folds] : TypeParam::reference_folds()) {
        auto hasher = TypeParam::make(seed);
        Digest folds{};
        std::size_t fed = 0;
        for (const std::size_t n : reference_lengths()) {
            for (; fed < n && n <= 2049; ++fed) this->feed(hasher, fed, fed + 1);
            if (fed < n) this->feed(hasher, fed, n);
            fed = n;
            folds = TypeParam::fold_in(folds, TypeParam::digest(hasher));
        }
        EXPECT_EQ(folds, expected_folds) << "seed " << seed;
    }
}

// Each length around the buffer, stripe and block sizes, cut in two at every
// point, so that the second chunk meets every buffer fill level.
TYPED_TEST(StreamingTest, EverySplitInTwoGivesTheOneShotHash) {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 80; ++n) lengths.push_back(n);
    lengths.insert(lengths.end(), {127, 128, 129, 240, 241, 255, 256, 257, 320, 511, 512, 513, 1024, 1025, 1300});
    for (const std::uint64_t seed : {std::uint64_t{0}, ARBITRARY_SEED}) {
        for (const std::size_t n : lengths) {
            const Digest expected = this->expected(n, seed);
            for (std::size_t cut = 0; cut <= n; ++cut) {
                auto hasher = TypeParam::make(seed);
                this->feed(hasher, 0, cut);
                this->feed(hasher, cut, n);
                ASSERT_EQ(TypeParam::digest(hasher), expected) << "length " << n << " cut at " << cut;
            }
        }
    }
}

// 1 MiB in chunks of random sizes, small and large mixed, with a digest of
// the prefix now and then: the stream carries on unchanged after each.
TYPED_TEST(StreamingTest, RandomChunksWithDigestsMidStream) {
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<std::size_t> small(0, 300), large(0, 40'000);
    const std::size_t len = 1u << 20;
    for (const std::uint64_t seed : {std::uint64_t{1}, ~std::uint64_t{0}}) {
        auto hasher = TypeParam::make(seed);
        std::size_t fed = 0;
        for (int chunk = 0; fed < len; ++chunk) {
            const std::size_t size = std::min(len - fed, chunk % 3 == 0 ? large(random) : small(random));
            this->feed(hasher, fed, fed + size);
            fed += size;
            if (chunk % 16 == 0) ASSERT_EQ(TypeParam::digest(hasher), this->expected(fed, seed)) << "after " << fed;
        }
        EXPECT_EQ(TypeParam::digest(hasher), this->expected(len, seed));
    }
}

TYPED_TEST(StreamingTest, CopyCarriesOnIndependently) {
    for (const std::size_t cut : {std::size_t{5}, std::size_t{200}, std::size_t{3000}}) {
        auto original = TypeParam::make(ARBITRARY_SEED);
        this->feed(original, 0, cut);
        auto copy = original;
        this->feed(copy, cut, cut + 4000);
        this->feed(original, cut, cut + 10);
        EXPECT_EQ(TypeParam::digest(copy), this->expected(cut + 4000, ARBITRARY_SEED)) << "cut " << cut;
        EXPECT_EQ(TypeParam::digest(original), this->expected(cut + 10, ARBITRARY_SEED)) << "cut " << cut;
    }
}

TYPED_TEST(StreamingTest, ResetStartsOverWithTheSameSeed) {
    for (const std::size_t before : {std::size_t{7}, std::size_t{5000}}) {
        auto hasher = TypeParam::make(ARBITRARY_SEED);
        this->feed(hasher, 100, 100 + before);
        hasher.reset();
        this->feed(hasher, 0, 777);
        EXPECT_EQ(TypeParam::digest(hasher), this->expected(777, ARBITRARY_SEED)) << "reset after " << before;
        auto fresh = TypeParam::make(ARBITRARY_SEED);
        this->feed(fresh, 0, 777);
        EXPECT_EQ(hasher.to_bytes(), fresh.to_bytes()) << "reset after " << before;
    }
}

// States at every buffer and block phase, restored and continued.
const std::size_t SAVE_POINTS[] = {0, 1, 15, 16, 31, 32, 33, 63, 64, 240, 241, 256, 257, 1023, 1024, 1088, 5000};

TYPED_TEST(StreamingTest, RestoredStateCarriesOn) {
    for (const std::size_t saved_at : SAVE_POINTS) {
        auto hasher = TypeParam::make(ARBITRARY_SEED);
        this->feed(hasher, 0, saved_at);
        const auto form = hasher.to_bytes();
        auto restored = TypeParam::Hasher::from_bytes(form);
        ASSERT_TRUE(restored.has_value()) << "saved at " << saved_at;
        EXPECT_EQ(TypeParam::digest(*restored), this->expected(saved_at, ARBITRARY_SEED));
        this->feed(*restored, saved_at, 6000);
        EXPECT_EQ(TypeParam::digest(*restored), this->expected(6000, ARBITRARY_SEED)) << "saved at " << saved_at;
    }
}

TYPED_TEST(StreamingTest, AlteredOrResizedFormsAreRefused) {
    for (const std::size_t saved_at : {std::size_t{0}, std::size_t{20}, std::size_t{3000}}) {
        auto hasher = TypeParam::make(ARBITRARY_SEED);
        this->feed(hasher, 0, saved_at);
        const auto form = hasher.to_bytes();
        for (std::size_t i = 0; i < form.size(); ++i) {
            auto altered = form;
            altered[i] ^= 0x10;
            EXPECT_FALSE(TypeParam::Hasher::from_bytes(altered).has_value()) << "byte " << i << " altered";
        }
        std::vector<unsigned char> longer(form.begin(), form.end());
        longer.push_back(0);
        EXPECT_FALSE(TypeParam::Hasher::from_bytes(longer).has_value());
        EXPECT_FALSE(TypeParam::Hasher::from_bytes(std::span(form).first(form.size() - 1)).has_value());
    }
}

// A form whose checksum is right but whose length field disagrees with the
// buffered bytes, as a hand-made form could: refused, never trusted.
TYPED_TEST(StreamingTest, InconsistentFieldsAreRefusedDespiteAValidChecksum) {
    for (const std::size_t saved_at : {std::size_t{0}, std::size_t{20}, std::size_t{3000}}) {
        auto hasher = TypeParam::make(ARBITRARY_SEED);
        this->feed(hasher, 0, saved_at);
        auto form = hasher.to_bytes();
        // The total length follows the header and the seed, unless the kind says.
        std::size_t length_field = state_bytes::HEADER_SIZE;
        if constexpr (requires { TypeParam::LENGTH_FIELD; })
            length_field = TypeParam::LENGTH_FIELD;
        else
            length_field += sizeof(typename TypeParam::Hasher::Seed);
        form[length_field] += 1;
        const std::size_t body = form.size() - state_bytes::CHECKSUM_SIZE;
        const std::uint64_t resealed = state_bytes::checksum(form.data(), body);
        std::memcpy(form.data() + body, &resealed, sizeof resealed);
        EXPECT_FALSE(TypeParam::Hasher::from_bytes(form).has_value()) << "saved at " << saved_at;
    }
}

}  // namespace
}  // namespace vantorq::xxhash
