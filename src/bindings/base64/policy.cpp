#include "bindings/python.hpp"

#include "bindings/base64/policy.hpp"

#include <cstring>
#include <span>
#include <utility>

#include "base64/outcome.hpp"
#include "bindings/arguments.hpp"
#include "bindings/base64/new_result.hpp"
#include "bindings/objects.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64::policy {
namespace {

namespace core = vantorq::base64;
using buffer::BytesLike;
using core::DecodeOutcome;
using core::DecodeStatus;
using core::Text;

// Runs `work(text, destination storage)` with the input and the destination
// both locked, so neither can change or move while the decoder writes.
template <typename Work>
DecodeOutcome with_text_and_destination(const BytesLike& text, PyObject* destination, Work&& work) {
    if (PyObject* bytearray = text.bytearray()) {
        runtime::CriticalSection2 sections(bytearray, destination);
        return work(objects::bytearray_storage(bytearray), objects::bytearray_storage(destination));
    }
    return text.with_bytes([&](const unsigned char* data, std::size_t length) {
        runtime::CriticalSection section(destination);
        return work(Text{data, length}, objects::bytearray_storage(destination));
    });
}

// Raises what a decode that ended without a result reports.
PyObject* raise_failure(const DecodeOutcome& outcome) {
    switch (outcome.status) {
        case DecodeStatus::Rejected:
            fallback::decoding_error(outcome.message());
            break;
        case DecodeStatus::OutOfMemory:
            PyErr_SetString(PyExc_MemoryError, outcome.message());
            break;
        case DecodeStatus::SinkFailed:
            break;  // the sink's error is set
        default:
            throw runtime::Panic("a decode outcome without a result has no failure to raise");
    }
    return nullptr;
}

// The core's decoder for a policy; ignorechars are read once, under their lock.
core::Decoder decoder_for(const PreparedPolicy& policy) {
    core::DecoderOptions options;
    options.altchars = policy.altchars;
    options.validate = policy.validate;
    options.padded = policy.padded;
    options.canonical = policy.canonical;
    options.decodes_past_padding = policy.semantics.patched_tail != 0;
    options.warns_of_legacy_characters = policy.semantics.from_3_15 != 0;
    if (!policy.ignorechars_bytes) return core::Decoder(options);
    return policy.ignorechars_bytes->with_bytes([&](const unsigned char* data, std::size_t length) {
        options.ignorechars = Text{data, length};
        return core::Decoder(options);
    });
}

// The base64 module's marker for an argument not given: a wrapper that
// forwards its own defaults passes it on, and the interpreter reads it as
// absent. Only an imported base64 module can have handed it out, so none is
// imported here. Clears `argument` when it is the marker; false with an
// error set when the lookup fails. (A flag and an out-parameter: an optional
// returned from here stalled every call on a store it read back.)
bool clear_if_unspecified(PyObject*& argument) {
    if (argument == nullptr || PyBool_Check(argument) || PyLong_CheckExact(argument) || PyBytes_CheckExact(argument))
        return true;
    static constexpr runtime::InterpreterObject BASE64("vantorq.name.base64");
    PyObject* name = BASE64.get_or_create([] { return PyUnicode_InternFromString("base64"); });
    if (name == nullptr) return false;
    runtime::OwnedRef module(PyImport_GetModule(name));
    if (!module) return !PyErr_Occurred();
    PyObject* marker = nullptr;
    if (PyObject_GetOptionalAttrString(module.get(), "_NOT_SPECIFIED", &marker) < 0) return false;
    runtime::OwnedRef held(marker);
    if (marker == argument) argument = nullptr;
    return true;
}

}  // namespace

std::optional<PreparedPolicy> PreparedPolicy::prepare(const DecodeOptions& options) {
    PreparedPolicy policy;
    policy.semantics = compatibility::python_semantics();
    PyObject* validate_object = options.validate;
    PyObject* ignorechars_object = options.ignorechars;
    if (!clear_if_unspecified(validate_object) || !clear_if_unspecified(ignorechars_object)) return std::nullopt;
    const bool ignorechars_given = ignorechars_object != nullptr;
    if (options.altchars != nullptr && options.altchars != Py_None) {
        auto normalized = altchars::normalized_altchars(options.altchars, ignorechars_given);
        if (!normalized) return std::nullopt;
        policy.altchars = normalized->pair;
        policy.altchars_object = std::move(normalized->object);
    }
    if (validate_object != nullptr) {
        const auto validate = fallback::read_validate(validate_object, policy.semantics);
        if (!validate) return std::nullopt;
        policy.validate = *validate;
    } else {
        policy.validate = ignorechars_given;
    }
    const auto padded = arguments::read_flag(options.padded, true);
    if (!padded) return std::nullopt;
    policy.padded = *padded;
    if (ignorechars_given) {
        // binascii's own conversion and messages, at the point where it converts them.
        policy.ignorechars_bytes = buffer::binascii_contiguous_bytes_like(ignorechars_object, "ignorechars");
        if (!policy.ignorechars_bytes) return std::nullopt;
        policy.ignorechars = ignorechars_object;
    }
    const auto canonical = arguments::read_flag(options.canonical, false);
    if (!canonical) return std::nullopt;
    policy.canonical = *canonical;
    return policy;
}

std::optional<PreparedPolicy> PreparedPolicy::prepare_url_safe(PyObject* padded_object) {
    PreparedPolicy policy;
    policy.semantics = compatibility::python_semantics();
    policy.altchars = altchars::Pair{'-', '_'};
    policy.url_safe_function = true;
    // Padding became optional by default in 3.15.
    const auto padded = arguments::read_flag(padded_object, !policy.semantics.from_3_15);
    if (!padded) return std::nullopt;
    policy.padded = *padded;
    return policy;
}

PreparedPolicy PreparedPolicy::standard() {
    PreparedPolicy policy;
    policy.semantics = compatibility::python_semantics();
    return policy;
}

PreparedDecoder::PreparedDecoder(PreparedPolicy policy)
    : policy_(std::move(policy)),
      decoder_(decoder_for(policy_)),
      binascii_mode_(fallback::binascii_mode_for(policy_.semantics)) {}

bool PreparedDecoder::warn_if_legacy(std::optional<unsigned char> character) const {
    if (!character) return true;
    const auto kind = policy_.url_safe_function ? fallback::LegacyWarning::UrlSafe
                      : policy_.validate        ? fallback::LegacyWarning::AltcharsStrict
                                                : fallback::LegacyWarning::AltcharsLenient;
    return fallback::warn_legacy_altchars(kind, *character, policy_.altchars_object.get());
}

PyObject* PreparedDecoder::interpreter_bytes(const BytesLike& input) const {
    return input.with_bytes([&](const unsigned char* data, std::size_t length) {
        runtime::OwnedRef held(input.python_bytes());
        return fallback::interpreter_bytes(decoder_, {data, length}, held.get());
    });
}

PyObject* PreparedDecoder::hand_to_interpreter(const BytesLike& input) const {
    runtime::OwnedRef data(interpreter_bytes(input));
    if (!data) return nullptr;
    if (decoder_.route() != core::Route::Configured)
        return fallback::decode_with_binascii(data.get(), binascii_mode_, policy_.validate, policy_.padded);
    runtime::OwnedRef alphabet;
    if (policy_.altchars && policy_.ignorechars != nullptr) {
        alphabet = altchars::parse_decode_alphabet(policy_.altchars_object.get());
        if (!alphabet) return nullptr;
    }
    return fallback::decode_configured_with_binascii(
        data.get(), {policy_.validate, policy_.padded, policy_.canonical, alphabet.get(), policy_.ignorechars});
}

PyObject* PreparedDecoder::decode_allocating(const BytesLike& input) const {
    std::optional<unsigned char> legacy;
    // Not an optional: GCC clears all of an empty one whose address is
    // taken, a cost a short decode notices.
    NewBytes sink;
    const DecodeOutcome outcome = input.with_bytes([&](const unsigned char* data, std::size_t length) {
        if (policy_.altchars) legacy = decoder_.legacy_warning_byte({data, length});
        sink.allow_detach(input.is_immutable() && length >= runtime::BASE64_DETACH_BYTES);
        return decoder_.decode({data, length}, sink);
    });
    runtime::OwnedRef result;
    if (outcome.status == DecodeStatus::Written) {
        result = runtime::OwnedRef(sink.finish(outcome.count));
    } else if (outcome.status == DecodeStatus::NotHandled) {
        result = runtime::OwnedRef(hand_to_interpreter(input));
    } else {
        return raise_failure(outcome);
    }
    if (!result || !warn_if_legacy(legacy)) return nullptr;
    return result.release();
}

PyObject* PreparedDecoder::decode_into(PyObject* destination, const BytesLike& input) const {
    if (input.overlaps(destination)) {
        // Decoding would overwrite input not yet read: decode a private copy.
        const auto snapshot = input.try_snapshot();
        if (!snapshot) return nullptr;
        return decode_into(destination, *snapshot);
    }
    std::optional<unsigned char> legacy;
    if (policy_.altchars) {
        legacy = input.with_bytes([&](const unsigned char* data, std::size_t length) {
            return decoder_.legacy_warning_byte({data, length});
        });
    }
    runtime::OwnedRef decoded;
    if (legacy) {
        // The warning may be an error: then the destination stays untouched.
        decoded = runtime::OwnedRef(decode_allocating(input));
    } else {
        const DecodeOutcome outcome =
            with_text_and_destination(input, destination, [&](Text text, std::span<unsigned char> storage) {
                return decoder_.decode(text, storage);
            });
        switch (outcome.status) {
            case DecodeStatus::Written:
                return PyLong_FromSize_t(outcome.count);
            case DecodeStatus::DestinationTooSmall:
                // Reported before the text is fully judged: its own error, if
                // any, comes first, else the size error with the exact size.
                decoded = runtime::OwnedRef(decode_allocating(input));
                break;
            case DecodeStatus::NotHandled:
                decoded = runtime::OwnedRef(hand_to_interpreter(input));
                break;
            default:
                return raise_failure(outcome);
        }
    }
    if (!decoded) return nullptr;
    return fallback::copy_decoded_into(decoded.get(), destination);
}

}  // namespace vantorq::bindings::base64::policy
