#include "xxhash/streaming.hpp"

#include <cstring>

#include "xxhash/one_shot.hpp"

namespace vantorq::xxhash::streaming {

Xxh3Hasher::Xxh3Hasher(std::uint64_t seed, const long_inputs::LongEngine& engine) : engine_(&engine), seed_(seed) {
    engine.init_secret(secret_.data(), seed);
}

void Xxh3Hasher::update(const unsigned char* data, std::size_t len) {
    if (len == 0) return;  // an empty chunk may come with a null pointer
    total_len_ += len;
    if (len <= BUFFER_SIZE - buffered_) {
        std::memcpy(buffer_.data() + buffered_, data, len);
        buffered_ += len;
        return;
    }
    consume(data, len);
}

void Xxh3Hasher::consume(const unsigned char* data, std::size_t len) {
    // The buffer overflows: it is filled and consumed whole, since the chunk
    // leaves at least one byte after it.
    const unsigned char* const end = data + len;
    const long_inputs::LongEngine& engine = *engine_;
    if (buffered_ != 0) {
        const std::size_t fill = BUFFER_SIZE - buffered_;
        std::memcpy(buffer_.data() + buffered_, data, fill);
        data += fill;
        stripes_in_block_ =
            engine.continue_stripes(acc_, buffer_.data(), BUFFER_SIZE / STRIPE_LEN, stripes_in_block_, secret_.data());
        buffered_ = 0;
    }
    if (static_cast<std::size_t>(end - data) > BUFFER_SIZE) {
        const std::size_t stripes = (static_cast<std::size_t>(end - data) - 1) / STRIPE_LEN;
        stripes_in_block_ = engine.continue_stripes(acc_, data, stripes, stripes_in_block_, secret_.data());
        data += stripes * STRIPE_LEN;
        std::memcpy(buffer_.data() + BUFFER_SIZE - STRIPE_LEN, data - STRIPE_LEN, STRIPE_LEN);
    }
    buffered_ = static_cast<std::size_t>(end - data);
    std::memcpy(buffer_.data(), data, buffered_);
}

Accumulators Xxh3Hasher::final_accumulators() const {
    Accumulators acc = acc_;
    const unsigned char* last_stripe;
    unsigned char joined[STRIPE_LEN];
    if (buffered_ >= STRIPE_LEN) {
        const std::size_t stripes = (buffered_ - 1) / STRIPE_LEN;
        engine_->continue_stripes(acc, buffer_.data(), stripes, stripes_in_block_, secret_.data());
        last_stripe = buffer_.data() + buffered_ - STRIPE_LEN;
    } else {
        // The final stripe ends with the buffered bytes and begins with the
        // last ones consumed, which the buffer's end still holds.
        const std::size_t earlier = STRIPE_LEN - buffered_;
        std::memcpy(joined, buffer_.data() + BUFFER_SIZE - earlier, earlier);
        std::memcpy(joined + earlier, buffer_.data(), buffered_);
        last_stripe = joined;
    }
    long_inputs::accumulate_last_stripe(acc, last_stripe, secret_.data());
    return acc;
}

std::uint64_t Xxh3Hasher::digest_64() const {
    if (total_len_ <= MIDSIZE_MAX) return one_shot::xxh3_64_short(buffer_.data(), total_len_, seed_);
    return finalize_long_64(total_len_, secret_.data(), final_accumulators());
}

Hash128 Xxh3Hasher::digest_128() const {
    if (total_len_ <= MIDSIZE_MAX) return one_shot::xxh3_128_short(buffer_.data(), total_len_, seed_);
    return finalize_long_128(total_len_, secret_.data(), final_accumulators());
}

void Xxh3Hasher::reset() {
    acc_ = INITIAL_ACCUMULATORS;
    buffer_.fill(0);
    total_len_ = 0;
    buffered_ = 0;
    stripes_in_block_ = 0;
}

Xxh3Hasher::Serialized Xxh3Hasher::to_bytes() const {
    Serialized form{};
    state_bytes::Writer writer(form, state_bytes::Kind::XXH3);
    writer.put(seed_);
    writer.put(total_len_);
    writer.put(static_cast<std::uint8_t>(stripes_in_block_));
    writer.put(static_cast<std::uint16_t>(buffered_));
    for (const std::uint64_t word : acc_) writer.put(word);
    writer.put_bytes(buffer_.data(), BUFFER_SIZE);
    writer.seal();
    return form;
}

std::optional<Xxh3Hasher> Xxh3Hasher::from_bytes(std::span<const unsigned char> form,
                                                 const long_inputs::LongEngine& engine) {
    auto reader = state_bytes::Reader::open(form, state_bytes::Kind::XXH3, SERIALIZED_SIZE);
    if (!reader) return std::nullopt;
    Xxh3Hasher hasher(reader->take<std::uint64_t>(), engine);
    hasher.total_len_ = reader->take<std::uint64_t>();
    hasher.stripes_in_block_ = reader->take<std::uint8_t>();
    hasher.buffered_ = reader->take<std::uint16_t>();
    for (std::uint64_t& word : hasher.acc_) word = reader->take<std::uint64_t>();
    std::memcpy(hasher.buffer_.data(), reader->take_bytes(BUFFER_SIZE), BUFFER_SIZE);

    // Nothing is consumed until the buffer overflows; after that the buffer
    // keeps 1 to BUFFER_SIZE bytes, and the consumed part is whole stripes
    // whose count fixes the position in the current block.
    if (hasher.buffered_ > BUFFER_SIZE) return std::nullopt;
    const std::uint64_t total = hasher.total_len_;
    if (total <= BUFFER_SIZE) {
        if (hasher.buffered_ != total || hasher.stripes_in_block_ != 0 || hasher.acc_ != INITIAL_ACCUMULATORS)
            return std::nullopt;
    } else {
        const std::uint64_t consumed = total - hasher.buffered_;
        if (hasher.buffered_ == 0 || consumed % STRIPE_LEN != 0 ||
            hasher.stripes_in_block_ != consumed / STRIPE_LEN % STRIPES_PER_BLOCK)
            return std::nullopt;
    }
    return hasher;
}

}  // namespace vantorq::xxhash::streaming
