#include "bindings/python.hpp"

#include "bindings/base64/pybase64.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <tuple>

#include "base64/encoder.hpp"
#include "base64/pybase64_rules.hpp"
#include "bindings/arguments.hpp"
#include "bindings/base64/decode.hpp"
#include "bindings/base64/encode.hpp"
#include "bindings/base64/fallback.hpp"
#include "bindings/base64/messages.hpp"
#include "bindings/base64/mime.hpp"
#include "bindings/base64/new_result.hpp"
#include "bindings/buffer.hpp"
#include "bindings/native_docstrings.hpp"
#include "bindings/runtime.hpp"
#include "bindings/schema.hpp"

namespace vantorq::bindings::base64::pybase64 {
namespace {

namespace core = vantorq::base64;
namespace rules = vantorq::base64::pybase64;
namespace text = messages::pybase64;
namespace docs = native_docstrings;
using buffer::BytesLike;

constexpr std::size_t MAXLINESIZE = 76;

// The module these functions belong to as their __module__ says, and the
// prefix of their names in vantorq._native.
constexpr char MODULE[] = "vantorq.pybase64";
constexpr char PREFIX[] = "pybase64_";

// altchars as pybase64 reads it: None, ASCII text, or a contiguous buffer of
// single bytes, two of them. False with an error set.
bool read_altchars(PyObject* value, std::optional<core::AltcharPair>& pair) {
    if (value == nullptr || value == Py_None) return true;
    runtime::OwnedRef encoded;
    PyObject* source = value;
    if (PyUnicode_Check(value)) {
        encoded = buffer::encode_ascii(value);
        if (!encoded) return false;
        source = encoded.get();
    } else if (!PyBytes_CheckExact(value) && !PyByteArray_CheckExact(value) &&
               !mime::single_byte_elements(value, mime::Wording::Pybase64)) {
        return false;
    }
    // A held view: a bytearray cannot be resized while it is read.
    const buffer::BorrowedBuffer view(source, PyBUF_SIMPLE);
    if (!view.valid()) return false;
    if (view.size() != 2) {
        PyErr_SetString(PyExc_ValueError, text::ALTCHARS_LENGTH);
        return false;
    }
    pair = core::AltcharPair{view.data()[0], view.data()[1]};
    return true;
}

// ignorechars: any buffer of single bytes, contiguous or not; not text.
buffer::Acquired read_ignorechars(PyObject* value) {
    if (!PyBytes_CheckExact(value) && !mime::single_byte_elements(value, mime::Wording::Pybase64))
        return std::nullopt;
    return buffer::any_bytes_like(value, "ignorechars");
}

// The data to decode: ASCII text or a contiguous buffer. Under the strict
// rules pybase64 reads text of one byte per character as those bytes, so
// that the ones above 127 are faults of the text rather than of its type.
buffer::Acquired read_text(PyObject* s, bool latin1 = false) {
    if (!PyUnicode_Check(s)) return encode::acquire_input(s);
    if (latin1) {
        // Before 3.12 a str may not be ready; asking its length readies it.
        const Py_ssize_t length = PyUnicode_GetLength(s);
        if (length < 0) return std::nullopt;
        if (PyUnicode_KIND(s) == PyUnicode_1BYTE_KIND)
            return BytesLike(buffer::AsciiText{reinterpret_cast<const char*>(PyUnicode_1BYTE_DATA(s)),
                                               static_cast<std::size_t>(length)});
    }
    return decode::acquire_decode_data(s);
}

// pybase64's marker of an option not given, which a caller may pass on.
// False with an error set when it cannot be looked up.
bool is_unspecified(PyObject* value, bool& unspecified) {
    unspecified = false;
    if (PyBool_Check(value) || value == Py_None || PyLong_CheckExact(value)) return true;
    static constexpr runtime::InterpreterObject MARKER("vantorq.pybase64.unspecified");
    PyObject* marker = MARKER.get_or_create([]() -> PyObject* {
        runtime::OwnedRef module(PyImport_ImportModule("vantorq.pybase64._unspecified"));
        runtime::OwnedRef type(module ? PyObject_GetAttrString(module.get(), "_Unspecified") : nullptr);
        return type ? PyObject_GetAttrString(type.get(), "UNSPECIFIED") : nullptr;
    });
    if (marker == nullptr) return false;
    unspecified = value == marker;
    return true;
}

// Raises what a decode that ended without a result reports.
PyObject* raise_failure(const core::DecodeOutcome& outcome) {
    if (outcome.status == core::DecodeStatus::Rejected) {
        fallback::decoding_error(outcome.message());
    } else if (outcome.status == core::DecodeStatus::OutOfMemory) {
        PyErr_SetString(PyExc_MemoryError, outcome.message());
    }
    return nullptr;  // SinkFailed: the sink's error is set
}

// Warns as pybase64 warns of a "+" or "/" that altchars replaced; false when
// the warning became an error. `altchars` is shown as the caller gave it.
// pybase64's b64decode names the frame above its caller (stack level 2);
// its urlsafe_b64decode, written in Python over it, names the caller's.
bool warn(rules::Warning warning, PyObject* altchars, int stack_level) {
    switch (warning) {
        case rules::Warning::None:
            return true;
        case rules::Warning::Future:
            return PyErr_WarnFormat(PyExc_FutureWarning, stack_level, text::LEGACY_LENIENT, altchars) == 0;
        case rules::Warning::Deprecation:
            return PyErr_WarnFormat(PyExc_DeprecationWarning, stack_level, text::LEGACY_STRICT, altchars) == 0;
    }
    return true;
}

// What a warning shows and which frame it names: b64decode's altchars
// argument, or (null) the URL-safe pair that urlsafe_b64decode passes on.
struct WarningSource {
    PyObject* altchars;
    int stack_level;
};
constexpr int B64DECODE_STACK_LEVEL = 2;
constexpr WarningSource URL_SAFE_WARNINGS{nullptr, 1};

// One decode: the text into a new result of the sink's kind, then the warning.
template <class NewResult>
PyObject* decode_into_new(const rules::Decoder& decoder, const BytesLike& input, const WarningSource& source) {
    NewResult sink;
    rules::Warning warning = rules::Warning::None;
    const core::DecodeOutcome outcome = input.with_bytes([&](const unsigned char* data, std::size_t length) {
        sink.allow_detach(input.is_immutable() && length >= runtime::BASE64_DETACH_BYTES);
        const core::DecodeOutcome decoded = decoder.decode({data, length}, sink);
        if (decoded.status == core::DecodeStatus::Written) warning = decoder.warning({data, length});
        return decoded;
    });
    if (outcome.status != core::DecodeStatus::Written) return raise_failure(outcome);
    runtime::OwnedRef result(sink.finish(outcome.count));
    if (!result) return nullptr;
    if (warning != rules::Warning::None) {
        runtime::OwnedRef shown(source.altchars != nullptr ? Py_NewRef(source.altchars) : PyBytes_FromString("-_"));
        if (!shown || !warn(warning, shown.get(), source.stack_level)) return nullptr;
    }
    return result.release();
}

template <class NewResult>
PyObject* b64decode(const arguments::Arguments<6>& parsed) {
    const auto [s, altchars_object, validate_object, padded_object, ignorechars_object, canonical_object] = parsed;
    std::optional<bool> validate;
    if (validate_object != nullptr) {
        bool unspecified = false;
        if (!is_unspecified(validate_object, unspecified)) return nullptr;
        if (!unspecified) {
            const auto flag = arguments::read_flag(validate_object, false);
            if (!flag) return nullptr;
            validate = *flag;
        }
    }
    const auto padded = arguments::read_flag(padded_object, true);
    if (!padded) return nullptr;
    const auto canonical = arguments::read_flag(canonical_object, false);
    if (!canonical) return nullptr;
    const bool ignorechars_given = ignorechars_object != nullptr;
    if (ignorechars_given && validate == false) {
        PyErr_SetString(PyExc_ValueError, text::VALIDATE_WITH_IGNORECHARS);
        return nullptr;
    }
    std::optional<core::AltcharPair> pair;
    if (!read_altchars(altchars_object, pair)) return nullptr;
    buffer::Acquired ignorechars;
    if (ignorechars_given && !(ignorechars = read_ignorechars(ignorechars_object))) return nullptr;

    rules::Options options;
    options.altchars = pair;
    options.validate = validate.value_or(ignorechars_given);
    options.padded = *padded;
    options.canonical = *canonical;
    // The decoder reads ignorechars once, as it is built (a bytearray inside its lock).
    const auto decoder = !ignorechars ? rules::Decoder(options)
                                      : ignorechars->with_bytes([&](const unsigned char* data, std::size_t length) {
                                            options.ignorechars = core::Text{data, length};
                                            return rules::Decoder(options);
                                        });
    const auto input = read_text(s, decoder.rules() == rules::Rules::Strict);
    if (!input) return nullptr;
    return decode_into_new<NewResult>(decoder, *input, {altchars_object, B64DECODE_STACK_LEVEL});
}

PyObject* standard_b64decode(const arguments::Arguments<1>& parsed) {
    const auto input = read_text(parsed[0]);
    if (!input) return nullptr;
    // No altchars: nothing to warn of.
    return decode_into_new<NewBytes>(rules::Decoder({}), *input, URL_SAFE_WARNINGS);
}

PyObject* urlsafe_b64decode(const arguments::Arguments<2>& parsed) {
    const auto [s, padded_object] = parsed;
    const auto padded = arguments::read_flag(padded_object, false);
    if (!padded) return nullptr;
    const auto input = read_text(s);
    if (!input) return nullptr;
    rules::Options options;
    options.altchars = core::AltcharPair{'-', '_'};
    options.padded = *padded;
    return decode_into_new<NewBytes>(rules::Decoder(options), *input, URL_SAFE_WARNINGS);
}

// b64encode and b64encode_as_string.
template <bool AS_TEXT>
PyObject* b64encode(const arguments::Arguments<4>& parsed) {
    const auto [s, altchars_object, padded_object, wrapcol_object] = parsed;
    const auto padded = arguments::read_flag(padded_object, true);
    if (!padded) return nullptr;
    Py_ssize_t wrapcol = 0;
    if (wrapcol_object != nullptr) {
        // Converted as a C ssize_t argument is, with that conversion's OverflowError.
        const runtime::OwnedRef index(PyNumber_Index(wrapcol_object));
        if (!index) return nullptr;
        wrapcol = PyLong_AsSsize_t(index.get());
        if (wrapcol == -1 && PyErr_Occurred()) return nullptr;
    }
    std::optional<core::AltcharPair> pair;
    if (!read_altchars(altchars_object, pair)) return nullptr;
    const auto input = encode::acquire_input(s);
    if (!input) return nullptr;
    if (wrapcol < 0) {
        PyErr_SetString(PyExc_ValueError, text::NEGATIVE_WRAPCOL);
        return nullptr;
    }
    const core::EncodeAlphabet alphabet =
        pair ? core::EncodeAlphabet::with_altchars(pair->c62, pair->c63) : core::STANDARD_ENCODE_ALPHABET;
    const core::Encoder encoder(alphabet, *padded, static_cast<std::size_t>(wrapcol));
    if constexpr (AS_TEXT) {
        return encode::encode_as_text(*input, encoder, pair && (pair->c62 >= 0x80 || pair->c63 >= 0x80));
    } else {
        return encode::encode_with_prepared(*input, encoder);
    }
}

PyObject* standard_b64encode(const arguments::Arguments<1>& parsed) {
    const auto input = encode::acquire_input(parsed[0]);
    if (!input) return nullptr;
    return encode::encode_with_prepared(*input, core::Encoder(core::STANDARD_ENCODE_ALPHABET, true));
}

PyObject* urlsafe_b64encode(const arguments::Arguments<2>& parsed) {
    const auto [s, padded_object] = parsed;
    const auto padded = arguments::read_flag(padded_object, true);
    if (!padded) return nullptr;
    const auto input = encode::acquire_input(s);
    if (!input) return nullptr;
    return encode::encode_with_prepared(*input, core::Encoder(core::URL_SAFE_ENCODE_ALPHABET, *padded));
}

PyObject* encodebytes(const arguments::Arguments<1>& parsed) {
    PyObject* s = parsed[0];
    if (!PyBytes_CheckExact(s) && !PyByteArray_CheckExact(s) &&
        !mime::single_byte_elements(s, mime::Wording::Pybase64))
        return nullptr;
    const auto input = encode::acquire_input(s);
    if (!input) return nullptr;
    if (input->len() == 0) return PyBytes_FromStringAndSize(nullptr, 0);
    return encode::encode_with_prepared(*input, core::Encoder(core::STANDARD_ENCODE_ALPHABET, true, MAXLINESIZE),
                                        true);
}

using schema::Function;
using schema::Signature;

constexpr Signature<4> encoder(const char* name) {
    return {name, {"s", "altchars=None", "padded=True", "wrapcol=0"}, 2};
}
constexpr Signature<6> decoder(const char* name) {
    return {name,
            {"s", "altchars=None", "validate=_Unspecified.UNSPECIFIED", "padded=True",
             "ignorechars=_Unspecified.UNSPECIFIED", "canonical=False"},
            3};
}

// The names are pybase64's: the functions carry them, and vantorq._native
// holds them with PREFIX before each.
constexpr std::tuple FUNCTIONS = {
    Function<4>{encoder("b64encode"), &b64encode<false>, docs::PYBASE64_B64ENCODE_DOC},
    Function<4>{encoder("b64encode_as_string"), &b64encode<true>, docs::PYBASE64_B64ENCODE_AS_STRING_DOC},
    Function<6>{decoder("b64decode"), &b64decode<NewBytes>, docs::PYBASE64_B64DECODE_DOC},
    Function<6>{decoder("b64decode_as_bytearray"), &b64decode<NewByteArray>,
                docs::PYBASE64_B64DECODE_AS_BYTEARRAY_DOC},
    Function<1>{{"standard_b64encode", {"s"}}, &standard_b64encode, docs::PYBASE64_STANDARD_B64ENCODE_DOC},
    Function<1>{{"standard_b64decode", {"s"}}, &standard_b64decode, docs::PYBASE64_STANDARD_B64DECODE_DOC},
    Function<2>{{"urlsafe_b64encode", {"s", "padded=True"}, 1}, &urlsafe_b64encode,
                docs::PYBASE64_URLSAFE_B64ENCODE_DOC},
    Function<2>{{"urlsafe_b64decode", {"s", "padded=False"}, 1}, &urlsafe_b64decode,
                docs::PYBASE64_URLSAFE_B64DECODE_DOC},
    Function<1>{{"encodebytes", {"s"}}, &encodebytes, docs::PYBASE64_ENCODEBYTES_DOC},
};

}  // namespace

int add_functions(PyObject* module) {
    runtime::OwnedRef module_name(PyUnicode_FromString(MODULE));
    if (!module_name) return -1;
    for (PyMethodDef* method = schema::MethodTable<FUNCTIONS>::methods(); method->ml_name != nullptr; ++method) {
        runtime::OwnedRef function(PyCFunction_NewEx(method, module, module_name.get()));
        if (!function) return -1;
        const std::string name = std::string(PREFIX) + method->ml_name;
        if (PyModule_AddObjectRef(module, name.c_str(), function.get()) < 0) return -1;
    }
    return 0;
}

}  // namespace vantorq::bindings::base64::pybase64
