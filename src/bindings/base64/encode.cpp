#include "bindings/python.hpp"

#include "bindings/base64/encode.hpp"

#include <cstring>
#include <limits>
#include <span>

#include "base64/encode.hpp"
#include "base64/lengths.hpp"
#include "bindings/base64/altchars.hpp"
#include "bindings/arguments.hpp"
#include "bindings/base64/messages.hpp"
#include "bindings/compatibility.hpp"
#include "bindings/objects.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64::encode {
namespace {

namespace core = vantorq::base64;
using buffer::BytesLike;
using core::EncodeAlphabet;

constexpr std::size_t MAX_OBJECT_SIZE = static_cast<std::size_t>(std::numeric_limits<Py_ssize_t>::max());


// `wrapcol` as the interpreter reads it: any index; negative values are
// rejected whatever their size, the rest must fit 64 bits.
std::optional<std::size_t> read_wrapcol(PyObject* value) {
    runtime::OwnedRef index(PyNumber_Index(value));
    if (!index) return std::nullopt;
    const int negative = PyLong_IsNegative(index.get());
    if (negative < 0) return std::nullopt;
    if (negative) {
        PyErr_SetString(PyExc_ValueError, messages::NEGATIVE_WRAPCOL);
        return std::nullopt;
    }
    const unsigned long long wrapcol = PyLong_AsUnsignedLongLong(index.get());
    if (wrapcol == static_cast<unsigned long long>(-1) && PyErr_Occurred()) {
        PyErr_Clear();
        PyErr_SetString(PyExc_OverflowError, messages::WRAPCOL_TOO_LARGE);
        return std::nullopt;
    }
    return static_cast<std::size_t>(wrapcol);
}

// The alphabet that b64encode built from its altchars on interpreters from 3.15.
std::optional<EncodeAlphabet> alphabet_from_object(PyObject* alphabet) {
    const auto acquired = PyBytes_CheckExact(alphabet)
                              ? buffer::Acquired(BytesLike(buffer::BorrowedBytes{alphabet}))
                              : buffer::binascii_contiguous_bytes_like(alphabet, "alphabet");
    if (!acquired) return std::nullopt;
    return acquired->with_bytes([](const unsigned char* data, std::size_t length) -> std::optional<EncodeAlphabet> {
        if (length != core::Symbols{}.size()) {
            PyErr_SetString(PyExc_ValueError, messages::ALPHABET_LENGTH);
            return std::nullopt;
        }
        core::Symbols symbols;
        std::memcpy(symbols.data(), data, symbols.size());
        return EncodeAlphabet::from_symbols(symbols);
    });
}

}  // namespace

std::optional<std::size_t> parse_wrapcol(PyObject* value) {
    if (value == nullptr) return 0;
    return read_wrapcol(value);
}

buffer::Acquired acquire_input(PyObject* object) {
    if (PyBytes_CheckExact(object)) return BytesLike(buffer::BorrowedBytes{object});
    if (PyByteArray_CheckExact(object)) return BytesLike(buffer::BorrowedByteArray{object});
    return buffer::binascii_contiguous_bytes_like(object, "s");
}

namespace {

// A new object of `make_result(size)` (its storage returned through `out`)
// holding the encoding of the input, followed by a newline if `final_newline`.
template <typename MakeResult>
PyObject* encode_new(const BytesLike& input, const core::Encoder& encoder, bool final_newline,
                     MakeResult&& make_result) {
    // A bytearray is encoded in place inside its lock, so its size cannot
    // change between sizing the result and writing it.
    return input.with_bytes([&](const unsigned char* data, std::size_t length) -> PyObject* {
        const auto size = encoder.encoded_size(length, MAX_OBJECT_SIZE - final_newline);
        if (!size) {
            PyErr_SetString(PyExc_MemoryError, messages::OUTPUT_TOO_LARGE);
            return nullptr;
        }
        unsigned char* out = nullptr;
        PyObject* result = make_result(*size + final_newline, out);
        if (result == nullptr) return nullptr;
        if (final_newline) out[*size] = '\n';
        // The new object is not visible to any other thread until it is returned.
        const bool detach = input.is_immutable() && length >= runtime::BASE64_DETACH_BYTES;
        runtime::run_maybe_detached(detach, [&] { encoder.encode(data, length, out, core::Output::New); });
        return result;
    });
}

}  // namespace

PyObject* encode_with_prepared(const BytesLike& input, const core::Encoder& encoder, bool final_newline) {
    return encode_new(input, encoder, final_newline, [](std::size_t size, unsigned char*& out) {
        PyObject* result = PyBytes_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(size));
        if (result != nullptr) out = reinterpret_cast<unsigned char*>(PyBytes_AS_STRING(result));
        return result;
    });
}

PyObject* encode_as_text(const BytesLike& input, const core::Encoder& encoder, bool latin1) {
    if (latin1) {
        // A str's kind must be the narrowest its characters fit, which only
        // the encoded bytes tell: decoded from a bytes result.
        runtime::OwnedRef bytes(encode_with_prepared(input, encoder));
        if (!bytes) return nullptr;
        return PyUnicode_DecodeLatin1(PyBytes_AS_STRING(bytes.get()), PyBytes_GET_SIZE(bytes.get()), nullptr);
    }
    return encode_new(input, encoder, false, [](std::size_t size, unsigned char*& out) {
        PyObject* result = PyUnicode_New(static_cast<Py_ssize_t>(size), 127);
        if (result != nullptr) out = static_cast<unsigned char*>(PyUnicode_DATA(result));
        return result;
    });
}

namespace {

// Encodes `source` at the start of `destination`, inside the destination's
// critical section; every check comes before the first write, so on failure
// the destination is unchanged.
PyObject* write_encoded(PyObject* destination, std::span<const unsigned char> source, const core::Encoder& encoder) {
    const auto required = encoder.encoded_size(source.size(), MAX_OBJECT_SIZE);
    if (!required) {
        PyErr_SetString(PyExc_MemoryError, messages::OUTPUT_TOO_LARGE);
        return nullptr;
    }
    const auto available = static_cast<std::size_t>(PyByteArray_GET_SIZE(destination));
    if (available < *required) {
        objects::raise_destination_too_small(messages::OUTPUT, *required, available);
        return nullptr;
    }
    encoder.encode(source.data(), source.size(), objects::bytearray_storage(destination).data(), core::Output::Reused);
    return PyLong_FromSize_t(*required);
}

}  // namespace

PyObject* encode_into(PyObject* destination, const BytesLike& input, const core::Encoder& encoder) {
    if (input.overlaps(destination)) {
        // Writing would overwrite input not yet read: encode from a private copy.
        const auto snapshot = input.try_snapshot();
        if (!snapshot) return nullptr;
        return snapshot->with_bytes([&](const unsigned char* data, std::size_t length) {
            runtime::CriticalSection section(destination);
            return write_encoded(destination, {data, length}, encoder);
        });
    }
    if (PyObject* bytearray = input.bytearray()) {
        runtime::CriticalSection2 sections(bytearray, destination);
        return write_encoded(destination, objects::bytearray_storage(bytearray), encoder);
    }
    return input.with_bytes([&](const unsigned char* data, std::size_t length) {
        runtime::CriticalSection section(destination);
        return write_encoded(destination, {data, length}, encoder);
    });
}

PyObject* encode_bytes_into(PyObject* destination, PyObject* bytes, const core::Encoder& encoder) {
    // Immutable, and never inside a bytearray: no snapshot, no second lock.
    runtime::CriticalSection section(destination);
    return write_encoded(destination,
                         {reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(bytes)),
                          static_cast<std::size_t>(PyBytes_GET_SIZE(bytes))},
                         encoder);
}

PyObject* b64encode(const arguments::Arguments<4>& parsed) {
    const auto [s, altchars_object, padded_object, wrapcol_object] = parsed;
    const bool altchars_given = altchars_object != nullptr && altchars_object != Py_None;

    if (PyBytes_CheckExact(s) && !altchars_given) {
        const auto padded = arguments::read_flag(padded_object, true);
        if (!padded) return nullptr;
        const auto wrapcol = parse_wrapcol(wrapcol_object);
        if (!wrapcol) return nullptr;
        return encode_with_prepared(BytesLike(buffer::BorrowedBytes{s}),
                                    core::Encoder(core::STANDARD_ENCODE_ALPHABET, *padded, *wrapcol));
    }

    const bool from_3_15 = compatibility::python_semantics().from_3_15;
    runtime::OwnedRef alphabet_object;
    if (altchars_given && from_3_15) {
        // The interpreter appends altchars to the 62 common symbols, so a bad
        // length is reported before a bad `s`.
        const Py_ssize_t size = PyObject_Size(altchars_object);
        if (size < 0) return nullptr;
        if (size != 2) {
            altchars::raise_wrong_length(altchars_object);
            return nullptr;
        }
        alphabet_object = altchars::with_common_symbols(altchars_object);
        if (!alphabet_object) return nullptr;
    }

    const auto input = acquire_input(s);
    if (!input) return nullptr;

    EncodeAlphabet alphabet = core::STANDARD_ENCODE_ALPHABET;
    if (altchars_given && !from_3_15) {
        const Py_ssize_t size = PyObject_Size(altchars_object);
        if (size < 0) return nullptr;
        if (size != 2) {
            altchars::raise_wrong_length(altchars_object);
            return nullptr;
        }
        const auto acquired = buffer::any_bytes_like(altchars_object, "altchars");
        if (!acquired) return nullptr;
        const bool ok = acquired->with_bytes([&](const unsigned char* data, std::size_t length) {
            if (length != 2) {
                PyErr_SetString(PyExc_ValueError, messages::MAKETRANS_LENGTH);
                return false;
            }
            if (data[0] != '+' || data[1] != '/') alphabet = EncodeAlphabet::with_altchars(data[0], data[1]);
            return true;
        });
        if (!ok) return nullptr;
    }

    const auto padded = arguments::read_flag(padded_object, true);
    if (!padded) return nullptr;
    const auto wrapcol = parse_wrapcol(wrapcol_object);
    if (!wrapcol) return nullptr;

    if (alphabet_object) {
        const auto from_object = alphabet_from_object(alphabet_object.get());
        if (!from_object) return nullptr;
        alphabet = *from_object;
    }
    return encode_with_prepared(*input, core::Encoder(alphabet, *padded, *wrapcol));
}

PyObject* b64encode_into(const arguments::Arguments<5>& parsed) {
    const auto [s, output, altchars_object, padded_object, wrapcol_object] = parsed;
    if (!objects::check_bytearray(output)) return nullptr;
    const auto padded = arguments::read_flag(padded_object, true);
    if (!padded) return nullptr;
    runtime::OwnedRef wrapcol_index;
    if (wrapcol_object != nullptr) {
        wrapcol_index = runtime::OwnedRef(PyNumber_Index(wrapcol_object));
        if (!wrapcol_index) return nullptr;
    }
    auto input = acquire_input(s);
    if (!input) return nullptr;
    std::optional<altchars::Pair> pair;
    if (!altchars::parse_altchars(altchars_object, false, pair)) return nullptr;
    auto stable = std::move(*input).into_stable_after_callbacks(false);
    if (!stable) return nullptr;
    // The range of wrapcol is judged only now, after every input is in hand.
    const auto wrapcol = parse_wrapcol(wrapcol_index.get());
    if (!wrapcol) return nullptr;
    const EncodeAlphabet alphabet =
        pair ? EncodeAlphabet::with_altchars(pair->c62, pair->c63) : core::STANDARD_ENCODE_ALPHABET;
    return encode_into(output, *stable, core::Encoder(alphabet, *padded, *wrapcol));
}

PyObject* standard_b64encode(const arguments::Arguments<1>& parsed) {
    const auto input = acquire_input(parsed[0]);
    if (!input) return nullptr;
    return encode_with_prepared(*input, core::Encoder(core::STANDARD_ENCODE_ALPHABET, true));
}

PyObject* standard_b64encode_into(const arguments::Arguments<2>& parsed) {
    const auto [s, output] = parsed;
    if (!objects::check_bytearray(output)) return nullptr;
    const auto input = acquire_input(s);
    if (!input) return nullptr;
    return encode_into(output, *input, core::Encoder(core::STANDARD_ENCODE_ALPHABET, true));
}

PyObject* urlsafe_b64encode(const arguments::Arguments<2>& parsed) {
    const auto [s, padded_object] = parsed;
    const auto input = acquire_input(s);
    if (!input) return nullptr;
    const auto padded = arguments::read_flag(padded_object, true);
    if (!padded) return nullptr;
    return encode_with_prepared(*input, core::Encoder(core::URL_SAFE_ENCODE_ALPHABET, *padded));
}

PyObject* urlsafe_b64encode_into(const arguments::Arguments<3>& parsed) {
    const auto [s, output, padded_object] = parsed;
    if (!objects::check_bytearray(output)) return nullptr;
    const auto input = acquire_input(s);
    if (!input) return nullptr;
    const auto padded = arguments::read_flag(padded_object, true);
    if (!padded) return nullptr;
    return encode_into(output, *input, core::Encoder(core::URL_SAFE_ENCODE_ALPHABET, *padded));
}

}  // namespace vantorq::bindings::base64::encode
