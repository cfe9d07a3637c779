#pragma once
// The Base64 kernel table: the vector tier of a processor, the source length
// above which the AVX2 and AVX-512 encoders may bypass the caches with
// non-temporal stores, and beside them every kernel the codec, the lenient,
// configured and staging decoders and the byte scans call. One pure function
// builds it from a processor description; the process keeps the one built
// for its own processor. Request code calls kernels through a table and
// nowhere else asks which processor this is.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "backend/capabilities.hpp"
#include "backend/kernel_choice.hpp"
#include "base64/alphabet.hpp"
#include "base64/decode_contracts.hpp"
#include "base64/error.hpp"
#include "base64/scan.hpp"
#include "base64/wrap_cursor.hpp"

namespace vantorq::base64::runtime_dispatch {

enum class Tier : std::uint8_t { Scalar = 0, Ssse3 = 2, Sse41 = 3, Avx2 = 4, Avx512 = 5 };

// Encoders of whole 3-byte groups from the front of a source: each writes 4
// characters per group and returns the bytes consumed, for the scalar code
// to finish. Null on the scalar tier. `stream` asks for non-temporal stores
// in the bulk of the output, which a tier may ignore.
struct EncodeKernels {
    std::size_t (*encode)(const unsigned char* src, std::size_t len, unsigned char* dst, bool url,
                          bool stream) = nullptr;
    // The alphabet must be vector capable.
    std::size_t (*encode_custom)(const unsigned char* src, std::size_t len, unsigned char* dst,
                                 const EncodeAlphabet& alphabet, bool stream) = nullptr;
    std::size_t (*encode_wrapped)(const unsigned char* src, std::size_t len, WrapCursor& cursor, bool url) = nullptr;
    std::size_t (*encode_wrapped_custom)(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                         const EncodeAlphabet& alphabet) = nullptr;
};

// The vector decoders of one tier, one per contract (decode_contracts.hpp),
// over whole blocks from the front of a text. Null on the scalar tier.
struct DecodeKernels {
    using Decode = error::KernelResult (*)(const unsigned char* src, std::size_t len, unsigned char* dst);
    using Prefix = decode::DecodedPrefix (*)(const unsigned char* src, std::size_t len, unsigned char* dst);

    Decode standard = nullptr;
    Decode url_safe = nullptr;
    Decode mixed = nullptr;
    Decode validated_standard = nullptr;
    Prefix prefix_standard = nullptr;
    Prefix prefix_mixed = nullptr;
};

// Decodes the symbols of a noisy text straight to the destination, skipping
// every other byte (decode::avx512::decode_gathered_prefix).
using GatheredDecode = decode::DecodedPrefix (*)(const unsigned char* src, std::size_t len, unsigned char* dst,
                                                 std::size_t capacity, DecodeAlphabet alphabet,
                                                 std::optional<scan::AllowedNoise> noise, std::size_t line);
// The number of symbols in `len` bytes.
using SymbolCount = std::size_t (*)(const unsigned char* src, std::size_t len, scan::ExtraSymbols extra);

// The tier of each role's kernel, as kernel_choices reports it; set where
// the kernels are.
struct KernelNames {
    std::string_view encode = "scalar";
    std::string_view decode = "scalar";
    std::string_view gathered_decode = "none";
    std::string_view byte_scan = "scalar";
    std::string_view symbol_count = "scalar";
};

struct RuntimeBackend {
    bool streaming_enabled = false;
    // Non-temporal stores only for sources strictly longer than this.
    std::size_t streaming_threshold = 0;
    Tier tier = Tier::Scalar;

    EncodeKernels encoders;
    DecodeKernels decoders;
    // Null where the AVX-512 scans are absent: then noisy text is gathered
    // into a staging block first.
    GatheredDecode decode_gathered_prefix = nullptr;
    scan::DecodeByteKernels byte_kernels{};
    SymbolCount symbol_count = nullptr;
    KernelNames names;
};

// The tier a processor with these features runs.
Tier tier_for(backend::Capabilities capabilities);

// The table of a processor with this description.
RuntimeBackend for_processor(const backend::Processor& processor);

RuntimeBackend detect_runtime_backend();

// SELECTED_BACKEND, detected on first use.
const RuntimeBackend& selected_backend();

// One {role, kernel} per role of the table.
backend::KernelChoices kernel_choices(const RuntimeBackend& table);

}  // namespace vantorq::base64::runtime_dispatch
