#pragma once
// Symbols gathered from a noisy text (by a compaction kernel, or byte by
// byte) into a staging block and decoded from there by whole quanta, so that
// the vector decoder runs over long clean stretches whatever the noise.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "base64/alphabet.hpp"
#include "base64/outcome.hpp"
#include "base64/runtime_dispatch.hpp"
#include "base64/scan.hpp"

namespace vantorq::base64::staging {

// Whether noisy text decodes without a staging copy with these kernels.
inline bool gathers_in_one_pass(const runtime_dispatch::RuntimeBackend& kernels) {
    return kernels.decode_gathered_prefix != nullptr;
}

inline constexpr std::size_t STAGE_SYMBOLS = 4096;
// A direct vector attempt on less text costs more than gathering it.
inline constexpr std::size_t DIRECT_MIN_TEXT = 64;

// Decodes `count` symbols (a multiple of 4) that are all valid for `alphabet`.
void decode_staging(const unsigned char* symbols, std::size_t count, unsigned char* dst, DecodeAlphabet alphabet,
                    const runtime_dispatch::RuntimeBackend& kernels = runtime_dispatch::selected_backend());

// An upper bound of the bytes any text decodes to whose symbols are the
// bytes below 64 in `classes`: no counting pass.
std::size_t output_bound(const unsigned char* src, std::size_t len, const DecodeTable& classes);

// The "=" after the last symbol, which may complete the final quantum; other
// bytes between them do not count.
std::size_t trailing_pads(const unsigned char* src, std::size_t len, const DecodeTable& classes);

// Whether a text of `symbols` symbols ending in `pads` "=" ends on a quantum
// the interpreter accepts: never a lone symbol, and with `padded` a final 2
// or 3 symbols completed to 4 by the "=".
[[gnu::always_inline]] inline bool complete(std::size_t symbols, std::size_t pads, bool padded) {
    const std::size_t partial = symbols % 4;
    return partial != 1 && !(padded && partial >= 2 && partial + pads < 4);
}

class StagingWriter {
public:
    // `translation` rewrites a custom pair to "+" and "/" before decoding;
    // `alphabet` is that of the (rewritten) symbols. A null destination only
    // counts: then the writer validates and sizes a text without writing.
    // `kernels` must outlive the writer.
    StagingWriter(unsigned char* dst, std::size_t capacity, DecodeAlphabet alphabet,
                  std::optional<scan::ByteMapping> translation = std::nullopt,
                  const runtime_dispatch::RuntimeBackend& kernels = runtime_dispatch::selected_backend());
    StagingWriter(const StagingWriter&) = delete;
    StagingWriter& operator=(const StagingWriter&) = delete;

    // Where gatherers put the next symbols, and how many fit.
    unsigned char* space() { return stage_ + pending_; }
    std::size_t room() const { return STAGE_SYMBOLS - pending_; }
    // Takes `count` symbols put at space() and decodes the whole quanta
    // staged; false when the capacity is exhausted.
    bool commit(std::size_t count);
    // Takes every symbol of a text: from a quantum boundary, as much as the
    // vector decoders take straight from it, the rest gathered by
    // `compact(src, len, space, room)` (a compaction kernel). NotHandled once
    // `compact` meets a byte it does not allow (with `noise`, the decoders
    // stop before any byte that is neither a symbol nor in it),
    // DestinationTooSmall when the output does not fit.
    template <class Compact>
    DecodeStatus gather(const unsigned char* src, std::size_t len, std::optional<scan::AllowedNoise> noise,
                        Compact&& compact) {
        std::size_t i = 0;
        leading_direct_ = 0;
        while (i < len) {
            if (pending_ == 0 && len - i >= DIRECT_MIN_TEXT) {
                const std::size_t direct = decode_direct(src + i, len - i, noise);
                if (i == 0) leading_direct_ = direct;
                i += direct;
            }
            const scan::Compacted gathered = compact(src + i, len - i, space(), room());
            if (gathered.disallowed) return DecodeStatus::NotHandled;
            i += gathered.consumed;
            if (!commit(gathered.written)) return DecodeStatus::DestinationTooSmall;
        }
        return DecodeStatus::Written;
    }

    // The text from the start of the last gather that the direct decoders
    // took: nothing but symbols and (with a noise set) those bytes.
    std::size_t leading_direct() const { return leading_direct_; }
    // The symbols after the last whole quantum (0 to 3 after commit).
    std::size_t pending() const { return pending_; }
    // The value of the last pending symbol; only with one pending.
    std::uint8_t last_pending_value() const;
    // Decodes the 2 or 3 pending symbols of a final partial quantum; false
    // when the capacity is exhausted.
    bool finish();
    std::size_t written() const { return out_; }

private:
    // With no symbol pending, decodes the clean whole-block prefix of a text
    // straight from it, then, where the processor can, the symbols of the
    // noisy text after it (by whole lines or groups of 64); returns the
    // characters consumed.
    std::size_t decode_direct(const unsigned char* src, std::size_t len, std::optional<scan::AllowedNoise> noise);
    void translate(std::size_t count);

    const runtime_dispatch::RuntimeBackend* kernels_;
    unsigned char* dst_;
    std::size_t capacity_;
    std::size_t out_ = 0;
    DecodeAlphabet alphabet_;
    std::optional<scan::ByteMapping> translation_;
    std::size_t pending_ = 0;
    std::size_t leading_direct_ = 0;
    alignas(64) unsigned char stage_[STAGE_SYMBOLS];
};

}  // namespace vantorq::base64::staging
