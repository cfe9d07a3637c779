#include "base64/configured.hpp"

#include <algorithm>

#include "backend/bytes.hpp"
#include "base64/staging.hpp"

namespace vantorq::base64::configured {
namespace {

using staging::StagingWriter;

DecodeOutcome result(DecodeStatus status, std::size_t count = 0) { return {status, count}; }

// The 62 symbols every alphabet shares; every other byte not allowed.
constexpr DecodeTable COMMON_CLASSES = [] {
    DecodeTable classes{};
    classes.fill(NOT_ALLOWED);
    for (std::size_t value = 0; value < COMMON_SYMBOLS.size(); ++value)
        classes[static_cast<unsigned char>(COMMON_SYMBOLS[value])] = static_cast<std::uint8_t>(value);
    return classes;
}();

}  // namespace

std::optional<ConfiguredDecoder> ConfiguredDecoder::create(const ConfiguredOptions& options,
                                                          const runtime_dispatch::RuntimeBackend& kernels) {
    const unsigned char c62 = options.c62, c63 = options.c63;
    if (c62 == c63 || scan::is_alphanumeric(c62) || scan::is_alphanumeric(c63) || c62 == PAD || c63 == PAD)
        return std::nullopt;
    ConfiguredDecoder decoder(kernels);
    decoder.strict_ = options.strict;
    decoder.padded_ = options.padded;
    decoder.canonical_ = options.canonical;
    auto& classes = decoder.classes_;
    classes = COMMON_CLASSES;
    classes[c62] = 62;
    classes[c63] = 63;
    if (options.also_standard_pair) {
        classes['+'] = 62;
        classes['/'] = 63;
    }
    for (const unsigned char byte : options.ignorechars)
        if (!is_symbol_value(classes[byte])) classes[byte] = IGNORED;
    decoder.strict_padding_ = options.strict && classes[PAD] != IGNORED;

    // The vector scanner allows "=" (placed or ignored) and up to three other ignored bytes.
    std::size_t noise = 0;
    auto& listed = decoder.noise_.bytes;
    listed[3] = PAD;
    for (const unsigned char byte : options.ignorechars) {
        if (classes[byte] != IGNORED || byte == PAD || std::find(listed, listed + noise, byte) != listed + noise)
            continue;
        if (noise == 3) decoder.noise_fits_ = false;
        else listed[noise++] = byte;
    }

    if (c62 == '-' && c63 == '_') {
        decoder.extra_ = {'-', '_'};
        decoder.alphabet_ = options.also_standard_pair ? DecodeAlphabet::Mixed : DecodeAlphabet::UrlSafe;
    } else if (options.also_standard_pair) {
        return std::nullopt;
    } else if (c62 != '+' || c63 != '/') {
        decoder.extra_ = {c62, c63};
        decoder.translation_ = scan::ByteMapping{c62, '+', c63, '/'};
    }
    return decoder;
}

std::size_t ConfiguredDecoder::capacity(const unsigned char* src, std::size_t len) const {
    return staging::output_bound(src, len, classes_);
}

bool ConfiguredDecoder::vector_scan_applies(const unsigned char* src, std::size_t len) const {
    if (strict_ && !noise_fits_) return false;
    // The vector scanners count "+" and "/" as symbols: another pair's text
    // must not hold them.
    for (const unsigned char standard : {'+', '/'}) {
        if (is_symbol_value(classes_[standard])) continue;
        if (backend::find_byte(src, len, standard) != nullptr) return false;
    }
    return true;
}

template <class Writer>
DecodeStatus ConfiguredDecoder::scan_vector(const unsigned char* src, std::size_t len, Writer& writer,
                                             std::size_t& pads_after, std::size_t& pads_total) const {
    // With strict padding the direct decoders stop before any "=", so the
    // search for the first one starts where they stopped.
    std::optional<scan::AllowedNoise> direct_noise;
    if (strict_) {
        direct_noise = noise_;
        if (strict_padding_)
            std::replace(direct_noise->bytes, direct_noise->bytes + 4, PAD, static_cast<unsigned char>('A'));
    }
    const scan::DecodeByteKernels& kernels = kernels_->byte_kernels;
    const DecodeStatus status = writer.gather(src, len, direct_noise, [&](const unsigned char* from, std::size_t count,
                                                                    unsigned char* to, std::size_t room) {
        return strict_ ? kernels.compact_symbols_checked(from, count, to, room, extra_, noise_)
                       : kernels.compact_symbols(from, count, to, room, extra_);
    });
    if (status != DecodeStatus::Written) return status;
    if (strict_padding_) {
        // No symbol may follow the first "=".
        const std::size_t from = writer.leading_direct();
        if (const unsigned char* pad = backend::find_byte(src + from, len - from, PAD)) {
            const std::size_t at = static_cast<std::size_t>(pad - src);
            if (kernels_->symbol_count(src + at, len - at, extra_) != 0) return DecodeStatus::NotHandled;
            pads_total = static_cast<std::size_t>(std::count(src + at, src + len, PAD));
        }
    }
    pads_after = staging::trailing_pads(src, len, classes_);
    return status;
}

template <class Writer>
DecodeStatus ConfiguredDecoder::scan_bytes(const unsigned char* src, std::size_t len, Writer& writer,
                                            std::size_t& pads_after, std::size_t& pads_total) const {
    const auto alphanumeric_prefix = kernels_->byte_kernels.alphanumeric_prefix;
    std::size_t i = 0;
    while (i < len) {
        // Letters and digits are symbols of every alphabet: their runs are
        // copied whole, and only the bytes between them looked up.
        std::size_t run = alphanumeric_prefix(src + i, len - i);
        if (run == 0 && is_symbol_value(classes_[src[i]])) run = 1;
        if (run != 0) {
            if (pads_total != 0) return DecodeStatus::NotHandled;  // a symbol after strict padding
            pads_after = 0;
            for (std::size_t piece; run != 0; run -= piece, i += piece) {
                piece = std::min(run, writer.room());
                std::memcpy(writer.space(), src + i, piece);
                if (!writer.commit(piece)) return DecodeStatus::DestinationTooSmall;
            }
            continue;
        }
        const unsigned char byte = src[i++];
        if (byte == PAD) {
            ++pads_after;
            pads_total += strict_padding_ ? 1 : 0;
        } else if (classes_[byte] == NOT_ALLOWED && strict_) {
            return DecodeStatus::NotHandled;
        }
    }
    return DecodeStatus::Written;
}

bool ConfiguredDecoder::finish_strict(std::size_t partial, std::size_t pads_after, std::size_t pads_total,
                                      std::uint8_t last_value) const {
    if (strict_padding_) {
        // Strict padding: exactly the "=" that complete the final quantum, or none without padding.
        if (partial == 1) return false;
        if (pads_total != 0 && (!padded_ || partial == 0 || pads_total != 4 - partial)) return false;
        if (pads_total == 0 && padded_ && partial != 0) return false;
    } else if (!staging::complete(partial, pads_after, padded_)) {
        return false;
    }
    // The bits of the last symbol that reach no output byte.
    const std::uint8_t unused = partial == 2 ? 0x0F : partial == 3 ? 0x03 : 0;
    return !(canonical_ && (last_value & unused) != 0);
}

template <class Writer>
DecodeStatus ConfiguredDecoder::scan(const unsigned char* src, std::size_t len, Writer& writer) const {
    std::size_t pads_after = 0, pads_total = 0;
    const DecodeStatus status = vector_scan_applies(src, len) ? scan_vector(src, len, writer, pads_after, pads_total)
                                                               : scan_bytes(src, len, writer, pads_after, pads_total);
    if (status != DecodeStatus::Written) return status;
    const std::size_t partial = writer.pending();
    const std::uint8_t last_value = partial != 0 ? writer.last_pending_value() : 0;
    if (!finish_strict(partial, pads_after, pads_total, last_value)) return DecodeStatus::NotHandled;
    return writer.finish() ? DecodeStatus::Written : DecodeStatus::DestinationTooSmall;
}

DecodeOutcome ConfiguredDecoder::decode(const unsigned char* src, std::size_t len, unsigned char* dst,
                                        std::size_t capacity) const {
    StagingWriter writer(dst, capacity, alphabet_, translation_, *kernels_);
    const DecodeStatus status = scan(src, len, writer);
    return result(status, status == DecodeStatus::Written ? writer.written() : 0);
}

std::optional<std::size_t> ConfiguredDecoder::decoded_size(const unsigned char* src, std::size_t len) const {
    StagingWriter counter(nullptr, SIZE_MAX, alphabet_, translation_, *kernels_);
    if (scan(src, len, counter) != DecodeStatus::Written) return std::nullopt;
    return counter.written();
}

DecodeOutcome decode_configured_into(const ConfiguredDecoder& decoder, const unsigned char* src, std::size_t len,
                                     unsigned char* dst, std::size_t size) {
    const auto required = decoder.decoded_size(src, len);
    if (!required) return result(DecodeStatus::NotHandled);
    if (*required > size) return result(DecodeStatus::DestinationTooSmall, *required);
    return decoder.decode(src, len, dst, *required);
}

}  // namespace vantorq::base64::configured
