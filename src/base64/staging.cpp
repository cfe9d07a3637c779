#include "base64/staging.hpp"

#include <algorithm>
#include <cstring>

#include "backend/invariant.hpp"
#include "base64/decode.hpp"
#include "base64/lengths.hpp"

namespace vantorq::base64::staging {
namespace {

// The vector kernels write at most 12 bytes per 16 characters they consume.
constexpr std::size_t VECTOR_BYTES_PER_BLOCK = 12, VECTOR_BLOCK = 16;

}  // namespace

void decode_staging(const unsigned char* symbols, std::size_t count, unsigned char* dst, DecodeAlphabet alphabet,
                    const runtime_dispatch::RuntimeBackend& kernels) {
    if (!decode::decode_to_ptr_with_layout_mode_on(kernels, symbols, count, dst, 0, alphabet).ok())
        backend::fail_invariant("Base64 staging block holds a byte outside its alphabet");
}

std::size_t output_bound(const unsigned char* src, std::size_t len, const DecodeTable& classes) {
    std::size_t first = 0;
    while (first < len && !is_symbol_value(classes[src[first]])) ++first;
    std::size_t end = len;
    // Trailing "=" (at most the two that padding has) decode to nothing.
    for (int pad = 0; pad < 2 && end > first && src[end - 1] == PAD; ++pad) --end;
    return symbols_decoded_length(end - first);
}

std::size_t trailing_pads(const unsigned char* src, std::size_t len, const DecodeTable& classes) {
    std::size_t pads = 0;
    for (std::size_t i = len; i > 0 && !is_symbol_value(classes[src[i - 1]]); --i) pads += src[i - 1] == PAD;
    return pads;
}

StagingWriter::StagingWriter(unsigned char* dst, std::size_t capacity, DecodeAlphabet alphabet,
                             std::optional<scan::ByteMapping> translation,
                             const runtime_dispatch::RuntimeBackend& kernels)
    : kernels_(&kernels), dst_(dst), capacity_(capacity), alphabet_(alphabet), translation_(translation) {}

void StagingWriter::translate(std::size_t count) {
    if (translation_) kernels_->byte_kernels.translate(stage_, count, *translation_);
}

bool StagingWriter::commit(std::size_t count) {
    pending_ += count;
    const std::size_t whole = pending_ / 4 * 4;
    if (whole == 0) return true;
    if (capacity_ - out_ < whole / 4 * 3) return false;
    if (dst_ != nullptr) {
        translate(whole);
        decode_staging(stage_, whole, dst_ + out_, alphabet_, *kernels_);
    }
    out_ += whole / 4 * 3;
    std::memmove(stage_, stage_ + whole, pending_ - whole);
    pending_ -= whole;
    return true;
}

std::size_t StagingWriter::decode_direct(const unsigned char* src, std::size_t len,
                                         std::optional<scan::AllowedNoise> noise) {
    if (translation_ || dst_ == nullptr || kernels_->decoders.prefix_standard == nullptr) return 0;
    const std::size_t chunk = std::min(len, (capacity_ - out_) / VECTOR_BYTES_PER_BLOCK * VECTOR_BLOCK);
    const auto clean = decode::vector_decode_prefix(*kernels_, alphabet_, src, chunk, dst_ + out_);
    out_ += clean.written;
    if (!gathers_in_one_pass(*kernels_)) return clean.consumed;
    const auto noisy = kernels_->decode_gathered_prefix(src + clean.consumed, len - clean.consumed, dst_ + out_,
                                                        capacity_ - out_, alphabet_, noise, clean.consumed);
    out_ += noisy.written;
    return clean.consumed + noisy.consumed;
}

std::uint8_t StagingWriter::last_pending_value() const {
    unsigned char symbol = stage_[pending_ - 1];
    if (translation_) {
        if (symbol == translation_->from_second) symbol = translation_->to_second;
        else if (symbol == translation_->from_first) symbol = translation_->to_first;
    }
    return decode_table(alphabet_)[symbol];
}

bool StagingWriter::finish() {
    if (pending_ < 2) return true;
    if (capacity_ - out_ < pending_ - 1) return false;
    if (dst_ != nullptr) {
        translate(pending_);
        if (!decode::decode_final_symbols(stage_, pending_, dst_ + out_, decode_table(alphabet_)))
            backend::fail_invariant("Base64 staging block holds a byte outside its alphabet");
    }
    out_ += pending_ - 1;
    pending_ = 0;
    return true;
}

}  // namespace vantorq::base64::staging
