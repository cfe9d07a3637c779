#pragma once
// XXH3 over a message that arrives in chunks; one state gives both widths.
// Any split of a message gives exactly the one-shot hashes of the whole.
//
// Up to BUFFER_SIZE bytes wait in a buffer; beyond that, whole stripes go to
// the stripes kernel of the engine given at construction, straight
// from the chunk where it is long enough. At least one byte stays buffered,
// because the final stripe is hashed differently and only a digest knows
// which stripe is the final one. A message of at most 240 bytes is
// still all in the buffer when digested and is hashed as one input.
//
// Xxh3Hasher keys the hash by a seed, Xxh3SecretHasher by a copy of a
// caller's secret; both are one Xxh3Stream over their keys.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <type_traits>
#include <variant>

#include "backend/memory.hpp"
#include "backend/state_bytes.hpp"
#include "xxhash/long_inputs.hpp"
#include "xxhash/primitives.hpp"
#include "xxhash/short_inputs.hpp"

namespace vantorq::xxhash::streaming {

namespace state_bytes = backend::state_bytes;

// A seed's secret, derived once at construction so that no update derives it
// again.
class SeededKeys {
public:
    // The serialised count of stripes in the block: below 16.
    using StripeCount = std::uint8_t;

    SeededKeys(std::uint64_t seed, const long_inputs::LongEngine& engine) : seed_(seed) {
        engine.init_secret(secret_.data(), seed);
    }

    std::uint64_t seed() const { return seed_; }
    const unsigned char* secret() const { return secret_.data(); }
    static DefaultGeometry geometry() { return {}; }
    static short_inputs::DefaultWords words() { return {}; }
    std::size_t continue_stripes(const long_inputs::LongEngine& engine, Accumulators& acc, const unsigned char* data,
                                 std::size_t stripes, std::size_t stripes_in_block) const {
        return engine.continue_stripes(acc, data, stripes, stripes_in_block, secret_.data());
    }

private:
    alignas(64) Secret secret_;
    std::uint64_t seed_;
};

// A caller's secret, copied: the hasher owns it, and so does each copy of
// the hasher.
class CallerKeys {
public:
    // A block may have any number of stripes.
    using StripeCount = std::uint64_t;

    explicit CallerKeys(SecretView secret) : secret_(secret.data(), secret.size()) {}

    static constexpr std::uint64_t seed() { return 0; }
    const unsigned char* secret() const { return secret_.data(); }
    RuntimeGeometry geometry() const { return {secret_.size()}; }
    short_inputs::LoadedWords words() const { return {secret_.data()}; }
    SecretView view() const { return *SecretView::of(secret_); }
    std::size_t continue_stripes(const long_inputs::LongEngine& engine, Accumulators& acc, const unsigned char* data,
                                 std::size_t stripes, std::size_t stripes_in_block) const {
        return engine.continue_stripes_with_secret(acc, data, stripes, stripes_in_block, view());
    }

private:
    backend::OwnedBytes secret_;
};

// The stream of either hasher: the buffer, the accumulators and the counts,
// over the secret that Keys holds.
template <class Keys>
class Xxh3Stream {
public:
    static constexpr std::size_t BUFFER_SIZE = 4 * STRIPE_LEN;

    void update(const unsigned char* data, std::size_t len);

    // The hashes of everything fed so far; the hasher itself is unchanged.
    std::uint64_t digest_64() const;
    Hash128 digest_128() const;

    // Back to the state of a new hasher with the same keys.
    void reset();

protected:
    // total length, stripes in block, buffered count, accumulators, buffer
    static constexpr std::size_t STATE_SIZE =
        8 + sizeof(typename Keys::StripeCount) + 2 + ACCUMULATOR_LANES * 8 + BUFFER_SIZE;

    // The keys are made in place from `keys`: a seed's secret is derived
    // straight into the stream.
    template <typename... KeyArguments>
    explicit Xxh3Stream(const long_inputs::LongEngine& engine, KeyArguments&&... keys)
        : keys_(std::forward<KeyArguments>(keys)...), engine_(&engine) {}

    void put_state(state_bytes::Writer& writer) const;
    // Reads what put_state wrote; false unless the fields are those of a
    // stream that these keys could have reached.
    bool take_state(state_bytes::Reader& reader);

    const Keys& keys() const { return keys_; }

private:
    // The rest of an update that overflows the buffer: out of line, so that
    // an update that only buffers saves and restores no registers for it.
    [[gnu::noinline]] void consume(const unsigned char* data, std::size_t len);
    // The accumulators of the whole message, final stripe included.
    Accumulators final_accumulators() const;

    alignas(64) Accumulators acc_ = INITIAL_ACCUMULATORS;
    // The first `buffered_` bytes are the message's unhashed tail. Once
    // stripes have been consumed, the last stripe's bytes are the final 64
    // bytes consumed, for a digest whose tail is shorter than a stripe.
    alignas(64) std::array<unsigned char, BUFFER_SIZE> buffer_{};
    // After the buffer, so that an aligned secret adds no padding.
    Keys keys_;
    const long_inputs::LongEngine* engine_;
    std::uint64_t total_len_ = 0;
    std::size_t buffered_ = 0;
    std::size_t stripes_in_block_ = 0;
};

extern template class Xxh3Stream<SeededKeys>;
extern template class Xxh3Stream<CallerKeys>;

class Xxh3Hasher : public Xxh3Stream<SeededKeys> {
public:
    using Seed = std::uint64_t;

    // kind, version, seed, the stream's state, checksum
    static constexpr std::size_t SERIALIZED_SIZE =
        state_bytes::HEADER_SIZE + 8 + STATE_SIZE + state_bytes::CHECKSUM_SIZE;
    using Serialized = std::array<unsigned char, SERIALIZED_SIZE>;

    explicit Xxh3Hasher(std::uint64_t seed = 0, const long_inputs::LongEngine& engine = long_inputs::long_engine())
        : Xxh3Stream(engine, seed, engine) {}

    std::uint64_t seed() const { return keys().seed(); }

    Serialized to_bytes() const;
    // The hasher that to_bytes() described, on `engine`, or nothing if `form`
    // is not such a form (wrong size, kind or version, altered bytes,
    // inconsistent fields).
    static std::optional<Xxh3Hasher> from_bytes(std::span<const unsigned char> form,
                                                const long_inputs::LongEngine& engine = long_inputs::long_engine());
};

// Keyed by a caller's secret, which it copies: a copy of the hasher has its
// own, and reset() keeps it. Construction and copies throw std::bad_alloc
// when the copy's memory cannot be had.
class Xxh3SecretHasher : public Xxh3Stream<CallerKeys> {
public:
    // kind, version, secret size, the stream's state, secret, checksum: the
    // form's size is FIXED_SERIALIZED_SIZE plus the secret's.
    static constexpr std::size_t FIXED_SERIALIZED_SIZE =
        state_bytes::HEADER_SIZE + 8 + STATE_SIZE + state_bytes::CHECKSUM_SIZE;

    explicit Xxh3SecretHasher(SecretView secret, const long_inputs::LongEngine& engine = long_inputs::long_engine())
        : Xxh3Stream(engine, secret) {}

    // The secret's bytes, as given.
    std::span<const unsigned char> secret() const { return {keys().secret(), keys().geometry().size}; }

    backend::OwnedBytes to_bytes() const;
    // As Xxh3Hasher::from_bytes; the secret comes from the form.
    static std::optional<Xxh3SecretHasher> from_bytes(
        std::span<const unsigned char> form, const long_inputs::LongEngine& engine = long_inputs::long_engine());
};

// Keyed by a seed or by a caller's secret, as chosen at construction: one
// state for a hasher that takes either. The seeded stream is the common one
// and is tested first, so that its short updates pay one predicted branch.
class Xxh3KeyedHasher {
    // Defined before their callers: their return types are deduced.
    template <class Self, class F>
    static decltype(auto) visit_of(Self& self, F&& f) {
        if (auto* seeded = std::get_if<Xxh3Hasher>(&self.stream_)) return f(*seeded);
        return f(*std::get_if<Xxh3SecretHasher>(&self.stream_));
    }
    template <class F>
    decltype(auto) visit(F&& f) { return visit_of(*this, std::forward<F>(f)); }
    template <class F>
    decltype(auto) visit(F&& f) const { return visit_of(*this, std::forward<F>(f)); }

public:
    using Seed = std::uint64_t;

    explicit Xxh3KeyedHasher(std::uint64_t seed = 0) : stream_(std::in_place_type<Xxh3Hasher>, seed) {}
    explicit Xxh3KeyedHasher(SecretView secret) : stream_(std::in_place_type<Xxh3SecretHasher>, secret) {}

    void update(const unsigned char* data, std::size_t len) {
        visit([&](auto& stream) { stream.update(data, len); });
    }
    std::uint64_t digest_64() const {
        return visit([](const auto& stream) { return stream.digest_64(); });
    }
    Hash128 digest_128() const {
        return visit([](const auto& stream) { return stream.digest_128(); });
    }
    void reset() {
        visit([](auto& stream) { stream.reset(); });
    }
    // 0 for a caller's secret.
    std::uint64_t seed() const {
        const auto* seeded = std::get_if<Xxh3Hasher>(&stream_);
        return seeded ? seeded->seed() : 0;
    }

    // The form of the stream inside, which from_bytes tells apart by its kind.
    backend::OwnedBytes to_bytes() const;
    static std::optional<Xxh3KeyedHasher> from_bytes(std::span<const unsigned char> form);

private:
    template <class Stream>
        requires std::is_same_v<Stream, Xxh3Hasher> || std::is_same_v<Stream, Xxh3SecretHasher>
    explicit Xxh3KeyedHasher(Stream&& stream) : stream_(std::move(stream)) {}

    std::variant<Xxh3Hasher, Xxh3SecretHasher> stream_;
};

}  // namespace vantorq::xxhash::streaming
