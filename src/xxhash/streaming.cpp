#include "xxhash/streaming.hpp"

#include <cstring>

#include "xxhash/one_shot.hpp"

namespace vantorq::xxhash::streaming {

template <class Keys>
void Xxh3Stream<Keys>::update(const unsigned char* data, std::size_t len) {
    if (len == 0) return;  // an empty chunk may come with a null pointer
    total_len_ += len;
    if (len <= BUFFER_SIZE - buffered_) {
        std::memcpy(buffer_.data() + buffered_, data, len);
        buffered_ += len;
        return;
    }
    consume(data, len);
}

template <class Keys>
void Xxh3Stream<Keys>::consume(const unsigned char* data, std::size_t len) {
    // The buffer overflows: it is filled and consumed whole, since the chunk
    // leaves at least one byte after it.
    const unsigned char* const end = data + len;
    const long_inputs::LongEngine& engine = *engine_;
    if (buffered_ != 0) {
        const std::size_t fill = BUFFER_SIZE - buffered_;
        std::memcpy(buffer_.data() + buffered_, data, fill);
        data += fill;
        stripes_in_block_ =
            keys_.continue_stripes(engine, acc_, buffer_.data(), BUFFER_SIZE / STRIPE_LEN, stripes_in_block_);
        buffered_ = 0;
    }
    if (static_cast<std::size_t>(end - data) > BUFFER_SIZE) {
        const std::size_t stripes = (static_cast<std::size_t>(end - data) - 1) / STRIPE_LEN;
        stripes_in_block_ = keys_.continue_stripes(engine, acc_, data, stripes, stripes_in_block_);
        data += stripes * STRIPE_LEN;
        std::memcpy(buffer_.data() + BUFFER_SIZE - STRIPE_LEN, data - STRIPE_LEN, STRIPE_LEN);
    }
    buffered_ = static_cast<std::size_t>(end - data);
    std::memcpy(buffer_.data(), data, buffered_);
}

template <class Keys>
Accumulators Xxh3Stream<Keys>::final_accumulators() const {
    Accumulators acc = acc_;
    const unsigned char* last_stripe;
    unsigned char joined[STRIPE_LEN];
    if (buffered_ >= STRIPE_LEN) {
        const std::size_t stripes = (buffered_ - 1) / STRIPE_LEN;
        keys_.continue_stripes(*engine_, acc, buffer_.data(), stripes, stripes_in_block_);
        last_stripe = buffer_.data() + buffered_ - STRIPE_LEN;
    } else {
        // The final stripe ends with the buffered bytes and begins with the
        // last ones consumed, which the buffer's end still holds.
        const std::size_t earlier = STRIPE_LEN - buffered_;
        std::memcpy(joined, buffer_.data() + BUFFER_SIZE - earlier, earlier);
        std::memcpy(joined + earlier, buffer_.data(), buffered_);
        last_stripe = joined;
    }
    long_inputs::accumulate_last_stripe(acc, last_stripe, keys_.secret(), {keys_.geometry().size});
    return acc;
}

template <class Keys>
std::uint64_t Xxh3Stream<Keys>::digest_64() const {
    if (total_len_ <= MIDSIZE_MAX)
        return one_shot::xxh3_64_short_keyed(buffer_.data(), total_len_, keys_.seed(), keys_.words());
    return finalize_long_64(total_len_, keys_.secret(), final_accumulators());
}

template <class Keys>
Hash128 Xxh3Stream<Keys>::digest_128() const {
    if (total_len_ <= MIDSIZE_MAX)
        return one_shot::xxh3_128_short_keyed(buffer_.data(), total_len_, keys_.seed(), keys_.words());
    return finalize_long_128(total_len_, keys_.secret(), final_accumulators(), keys_.geometry());
}

template <class Keys>
void Xxh3Stream<Keys>::reset() {
    acc_ = INITIAL_ACCUMULATORS;
    buffer_.fill(0);
    total_len_ = 0;
    buffered_ = 0;
    stripes_in_block_ = 0;
}

template <class Keys>
void Xxh3Stream<Keys>::put_state(state_bytes::Writer& writer) const {
    writer.put(total_len_);
    writer.put(static_cast<typename Keys::StripeCount>(stripes_in_block_));
    writer.put(static_cast<std::uint16_t>(buffered_));
    for (const std::uint64_t word : acc_) writer.put(word);
    writer.put_bytes(buffer_.data(), BUFFER_SIZE);
}

template <class Keys>
bool Xxh3Stream<Keys>::take_state(state_bytes::Reader& reader) {
    total_len_ = reader.take<std::uint64_t>();
    stripes_in_block_ = reader.take<typename Keys::StripeCount>();
    buffered_ = reader.take<std::uint16_t>();
    for (std::uint64_t& word : acc_) word = reader.take<std::uint64_t>();
    std::memcpy(buffer_.data(), reader.take_bytes(BUFFER_SIZE), BUFFER_SIZE);

    // Nothing is consumed until the buffer overflows; after that the buffer
    // keeps 1 to BUFFER_SIZE bytes, and the consumed part is whole stripes
    // whose count fixes the position in the current block.
    if (buffered_ > BUFFER_SIZE) return false;
    if (total_len_ <= BUFFER_SIZE)
        return buffered_ == total_len_ && stripes_in_block_ == 0 && acc_ == INITIAL_ACCUMULATORS;
    const std::uint64_t consumed = total_len_ - buffered_;
    return buffered_ != 0 && consumed % STRIPE_LEN == 0 &&
           stripes_in_block_ == consumed / STRIPE_LEN % keys_.geometry().stripes_per_block();
}

template class Xxh3Stream<SeededKeys>;
template class Xxh3Stream<CallerKeys>;

Xxh3Hasher::Serialized Xxh3Hasher::to_bytes() const {
    Serialized form{};
    state_bytes::Writer writer(form, state_bytes::Kind::XXH3);
    writer.put(seed());
    put_state(writer);
    writer.seal();
    return form;
}

std::optional<Xxh3Hasher> Xxh3Hasher::from_bytes(std::span<const unsigned char> form,
                                                 const long_inputs::LongEngine& engine) {
    auto reader = state_bytes::Reader::open(form, state_bytes::Kind::XXH3, SERIALIZED_SIZE);
    if (!reader) return std::nullopt;
    Xxh3Hasher hasher(reader->take<std::uint64_t>(), engine);
    if (!hasher.take_state(*reader)) return std::nullopt;
    return hasher;
}

backend::OwnedBytes Xxh3SecretHasher::to_bytes() const {
    const std::span<const unsigned char> key = secret();
    backend::OwnedBytes form(FIXED_SERIALIZED_SIZE + key.size());
    state_bytes::Writer writer(form, state_bytes::Kind::XXH3_SECRET);
    writer.put(static_cast<std::uint64_t>(key.size()));
    put_state(writer);
    writer.put_bytes(key.data(), key.size());
    writer.seal();
    return form;
}

std::optional<Xxh3SecretHasher> Xxh3SecretHasher::from_bytes(std::span<const unsigned char> form,
                                                             const long_inputs::LongEngine& engine) {
    if (form.size() < FIXED_SERIALIZED_SIZE + SECRET_SIZE_MIN) return std::nullopt;
    auto reader = state_bytes::Reader::open(form, state_bytes::Kind::XXH3_SECRET, form.size());
    if (!reader) return std::nullopt;
    const std::size_t secret_size = form.size() - FIXED_SERIALIZED_SIZE;
    if (reader->take<std::uint64_t>() != secret_size) return std::nullopt;
    // The secret follows the state, just before the checksum.
    const std::size_t secret_at = form.size() - state_bytes::CHECKSUM_SIZE - secret_size;
    Xxh3SecretHasher hasher(*SecretView::of(form.subspan(secret_at, secret_size)), engine);
    if (!hasher.take_state(*reader)) return std::nullopt;
    return hasher;
}

backend::OwnedBytes Xxh3KeyedHasher::to_bytes() const {
    return visit([](const auto& stream) {
        const auto form = stream.to_bytes();
        return backend::OwnedBytes(form.data(), form.size());
    });
}

std::optional<Xxh3KeyedHasher> Xxh3KeyedHasher::from_bytes(std::span<const unsigned char> form) {
    if (auto seeded = Xxh3Hasher::from_bytes(form)) return Xxh3KeyedHasher(std::move(*seeded));
    if (auto keyed = Xxh3SecretHasher::from_bytes(form)) return Xxh3KeyedHasher(std::move(*keyed));
    return std::nullopt;
}

}  // namespace vantorq::xxhash::streaming
