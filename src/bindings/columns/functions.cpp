#include "bindings/python.hpp"

#include "bindings/columns/functions.hpp"

#include <cstdint>
#include <optional>
#include <string>

#include "base64/decoder.hpp"
#include "base64/encoder.hpp"
#include "bindings/base64/altchars.hpp"
#include "bindings/base64/fallback.hpp"
#include "bindings/columns/column_class.hpp"
#include "bindings/columns/input.hpp"
#include "bindings/compatibility.hpp"
#include "bindings/runtime.hpp"
#include "columns/codec.hpp"
#include "columns/hash.hpp"

namespace vantorq::bindings::columns {
namespace {

namespace codec = vantorq::base64;
using core::DigestKind;
using runtime::OwnedRef;

// Columns are immutable, so work on one runs with the thread detached from
// this many rows on, where detaching costs a small share of the work.
constexpr std::size_t DETACH_ROWS = 2048;

// The integer digests (XXH3-64, MurmurHash3 x86_32) take a third argument,
// `signed`: the same bits typed as a signed integer.
template <DigestKind KIND, std::size_t N>
PyObject* hash_column(const arguments::Arguments<N>& parsed) {
    static_assert(N == 2 || N == 3);
    std::uint64_t seed = 0;
    if constexpr (KIND == DigestKind::Xxh3_64 || KIND == DigestKind::Xxh3_128) {
        if (!arguments::read_seed_u64(parsed[1], seed)) return nullptr;
    } else {
        std::uint32_t seed32 = 0;
        if (!arguments::read_seed_u32(parsed[1], seed32)) return nullptr;
        seed = seed32;
    }
    auto sign = core::DigestSign::Unsigned;
    if constexpr (N == 3) {
        const auto is_signed = arguments::read_flag(parsed[2], false);
        if (!is_signed) return nullptr;
        if (*is_signed) sign = core::DigestSign::Signed;
    }
    auto input = read_column(parsed[0]);
    if (!input) return nullptr;
    auto builder = core::DigestColumnBuilder::try_create(KIND, input->rows, sign);
    if (!builder) return PyErr_NoMemory();
    const bool hashed = runtime::run_maybe_detached(input->rows >= DETACH_ROWS, [&] {
        for (const auto& chunk : input->chunks)
            if (!builder->add(chunk, seed)) return false;
        return true;
    });
    if (!hashed) return PyErr_NoMemory();
    return wrap(builder->finish());
}

// ---- Base64 ------------------------------------------------------------------

// The row errors of b64decode: "strict" raises, "null" gives null.
std::optional<bool> read_errors(PyObject* value) {
    if (value == nullptr) return false;
    if (PyUnicode_Check(value)) {
        if (PyUnicode_EqualToUTF8(value, "strict")) return false;
        if (PyUnicode_EqualToUTF8(value, "null")) return true;
    }
    PyErr_Format(PyExc_ValueError, "errors must be 'strict' or 'null', not %R", value);
    return std::nullopt;
}

// A row that the native decoder left: what the interpreter makes of it, as
// the one-value function hands it over.
class RowSettler {
public:
    RowSettler(const codec::Decoder& decoder, bool validate)
        : decoder_(decoder),
          validate_(validate),
          mode_(base64::fallback::binascii_mode_for(compatibility::python_semantics())) {}

    // The decoded bytes, or null with the interpreter's error set.
    PyObject* decode(core::Value text) const {
        OwnedRef data(base64::fallback::interpreter_bytes(decoder_, {text.data, text.size}, nullptr));
        if (!data) return nullptr;
        return base64::fallback::decode_with_binascii(data.get(), mode_, validate_, true);
    }

private:
    const codec::Decoder& decoder_;
    bool validate_;
    base64::fallback::BinasciiMode mode_;
};

// binascii.Error for row `row`: the message, then " (row N)".
void raise_row_error(const std::string& message, std::size_t row) {
    base64::fallback::decoding_error((message + " (row " + std::to_string(row) + ")").c_str());
}

struct DecodeRequest {
    const codec::Decoder& decoder;
    RowSettler settler;
    bool null_on_error;
};

// Settles the row where the native decoder stopped: appends its bytes, or
// null, or raises. False with the error set.
bool settle_row(const DecodeRequest& request, const core::Chunk& chunk, const core::DecodeStop& stop,
                std::size_t column_row, core::VariableColumnBuilder& out) {
    std::optional<std::string> message;
    if (stop.outcome.status == codec::DecodeStatus::Rejected) {
        message = stop.outcome.message();
    } else if (stop.outcome.status == codec::DecodeStatus::OutOfMemory) {
        PyErr_SetString(PyExc_MemoryError, stop.outcome.message());
        return false;
    } else if (stop.outcome.status != codec::DecodeStatus::NotHandled) {
        throw runtime::Panic("a column's row decoder stopped without a row to settle");
    } else {
        const auto text = core::with_layout(chunk.layout(), [&](auto layout) {
            return chunk.template value<decltype(layout)::value>(stop.row);
        });
        OwnedRef decoded(request.settler.decode(text));
        if (decoded) {
            const auto size = static_cast<std::size_t>(PyBytes_GET_SIZE(decoded.get()));
            runtime::require(size <= core::decoded_room(text.size), "the interpreter decoded more than room allows");
            out.append(reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(decoded.get())), size);
            return true;
        }
        message = base64::fallback::take_decoding_error();
        if (!message) return false;
    }
    if (request.null_on_error) {
        if (out.append_null()) return true;
        PyErr_NoMemory();
        return false;
    }
    raise_row_error(*message, column_row);
    return false;
}

// Warns as the one-value function does of the first '+' or '/' that a
// request with altchars meets (once per call).
bool warn_if_legacy(const codec::Decoder& decoder, const InputColumn& input, bool validate, PyObject* altchars) {
    for (const auto& chunk : input.chunks) {
        const auto found = core::with_layout(chunk.layout(), [&](auto layout) -> std::optional<unsigned char> {
            for (std::size_t row = 0; row < chunk.length(); ++row) {
                if (chunk.is_null(row)) continue;
                const auto text = chunk.template value<decltype(layout)::value>(row);
                if (const auto byte = decoder.legacy_warning_byte({text.data, text.size})) return byte;
            }
            return std::nullopt;
        });
        if (found)
            return base64::fallback::warn_legacy_altchars(validate ? base64::fallback::LegacyWarning::AltcharsStrict
                                                                   : base64::fallback::LegacyWarning::AltcharsLenient,
                                                          *found, altchars);
    }
    return true;
}

}  // namespace

PyObject* xxh3_64(const arguments::Arguments<3>& parsed) { return hash_column<DigestKind::Xxh3_64>(parsed); }
PyObject* xxh3_128(const arguments::Arguments<2>& parsed) { return hash_column<DigestKind::Xxh3_128>(parsed); }
PyObject* murmur3_32(const arguments::Arguments<3>& parsed) { return hash_column<DigestKind::Murmur3_32>(parsed); }
PyObject* murmur3_x86_128(const arguments::Arguments<2>& parsed) {
    return hash_column<DigestKind::Murmur3_x86_128>(parsed);
}
PyObject* murmur3_x64_128(const arguments::Arguments<2>& parsed) {
    return hash_column<DigestKind::Murmur3_x64_128>(parsed);
}

PyObject* b64encode(const arguments::Arguments<3>& parsed) {
    std::optional<codec::AltcharPair> pair;
    if (!base64::altchars::parse_altchars(parsed[1], false, pair)) return nullptr;
    const auto padded = arguments::read_flag(parsed[2], true);
    if (!padded) return nullptr;
    auto input = read_column(parsed[0]);
    if (!input) return nullptr;
    const codec::Encoder encoder(
        pair ? codec::EncodeAlphabet::with_altchars(pair->c62, pair->c63) : codec::STANDARD_ENCODE_ALPHABET, *padded);
    const bool detach = input->rows >= DETACH_ROWS;
    std::size_t size = 0;
    runtime::run_maybe_detached(detach, [&] {
        for (const auto& chunk : input->chunks) size += core::encoded_size(encoder, chunk);
    });
    auto builder = core::VariableColumnBuilder::try_create(input->rows, size);
    if (!builder) return PyErr_NoMemory();
    const bool encoded = runtime::run_maybe_detached(detach, [&] {
        for (const auto& chunk : input->chunks)
            if (!core::encode_rows(encoder, chunk, *builder)) return false;
        return true;
    });
    if (!encoded) return PyErr_NoMemory();
    return wrap(builder->finish(true));
}

PyObject* b64decode(const arguments::Arguments<4>& parsed) {
    const auto semantics = compatibility::python_semantics();
    codec::DecoderOptions options;
    if (!base64::altchars::parse_altchars(parsed[1], true, options.altchars)) return nullptr;
    const auto validate = base64::fallback::read_validate(parsed[2], compatibility::python_semantics());
    if (!validate) return nullptr;
    const auto null_on_error = read_errors(parsed[3]);
    if (!null_on_error) return nullptr;
    auto input = read_column(parsed[0]);
    if (!input) return nullptr;

    options.validate = *validate;
    options.decodes_past_padding = semantics.patched_tail != 0;
    options.warns_of_legacy_characters = semantics.from_3_15 != 0;
    const codec::Decoder decoder(options);
    if (options.altchars) {
        // The warnings show the pair as the bytes it was read as.
        const char pair[2] = {static_cast<char>(options.altchars->c62), static_cast<char>(options.altchars->c63)};
        OwnedRef altchars(PyBytes_FromStringAndSize(pair, 2));
        if (!altchars || !warn_if_legacy(decoder, *input, *validate, altchars.get())) return nullptr;
    }

    const bool detach = input->rows >= DETACH_ROWS;
    std::size_t capacity = 0;
    runtime::run_maybe_detached(detach, [&] {
        for (const auto& chunk : input->chunks) capacity += core::decoded_capacity(chunk);
    });
    auto builder = core::VariableColumnBuilder::try_create(input->rows, capacity);
    if (!builder) return PyErr_NoMemory();
    const DecodeRequest request{decoder, RowSettler(decoder, *validate), *null_on_error};
    for (const auto& chunk : input->chunks) {
        const std::size_t first_row = builder->rows_done();
        std::size_t row = 0;
        for (;;) {
            const auto stop = runtime::run_maybe_detached(
                detach, [&] { return core::decode_rows(decoder, chunk, row, *builder); });
            if (stop.row == chunk.length()) break;
            if (!settle_row(request, chunk, stop, first_row + stop.row, *builder)) return nullptr;
            row = stop.row + 1;
        }
    }
    return wrap(builder->finish(false));
}

}  // namespace vantorq::bindings::columns
