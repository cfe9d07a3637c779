#include "bindings/python.hpp"

#include "bindings/base64/fallback.hpp"

#include <climits>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "bindings/arguments.hpp"
#include "bindings/base64/messages.hpp"
#include "bindings/objects.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64::fallback {
namespace {

PyObject* interned(const runtime::InterpreterObject& slot, const char* text) {
    return slot.get_or_create([text] { return PyUnicode_InternFromString(text); });
}

// An attribute of a module imported as the interpreter imports it, honouring
// any replacement a program made; new reference or null with an error set.
runtime::OwnedRef module_attribute(PyObject* module_name, const char* attribute) {
    if (module_name == nullptr) return {};
    runtime::OwnedRef module(PyImport_Import(module_name));
    if (!module) return {};
    return runtime::OwnedRef(PyObject_GetAttrString(module.get(), attribute));
}

runtime::OwnedRef binascii_attribute(const char* attribute) {
    static constexpr runtime::InterpreterObject BINASCII("vantorq.name.binascii");
    return module_attribute(interned(BINASCII, "binascii"), attribute);
}

// Requires the result of a2b_base64 to be bytes before it is returned or copied.
PyObject* checked_bytes(PyObject* result) {
    if (result != nullptr && !PyBytes_Check(result)) {
        objects::raise_not_instance(result, "bytes");
        Py_DECREF(result);
        return nullptr;
    }
    return result;
}

using Keyword = std::pair<const char*, PyObject*>;

// a2b_base64(data, **keywords): the keyword values are borrowed.
PyObject* call_a2b_base64(PyObject* data, std::initializer_list<Keyword> keywords) {
    const auto function = binascii_attribute("a2b_base64");
    if (!function) return nullptr;
    runtime::OwnedRef names(PyTuple_New(static_cast<Py_ssize_t>(keywords.size())));
    if (!names) return nullptr;
    PyObject* arguments[6] = {data};
    std::size_t i = 0;
    for (const auto& [name, value] : keywords) {
        PyObject* key = PyUnicode_FromString(name);
        if (key == nullptr) return nullptr;
        PyTuple_SET_ITEM(names.get(), static_cast<Py_ssize_t>(i), key);
        arguments[++i] = value;
    }
    return checked_bytes(PyObject_Vectorcall(function.get(), arguments, 1, keywords.size() ? names.get() : nullptr));
}

PyObject* boolean(bool value) { return value ? Py_True : Py_False; }

}  // namespace

void decoding_error(const char* message) {
    const auto error = binascii_attribute("Error");
    if (!error) return;
    if (!PyType_Check(error.get())) {
        objects::raise_not_instance(error.get(), "type");
        return;
    }
    PyErr_SetString(error.get(), message);
}

BinasciiMode binascii_mode_for(const compatibility::PythonSemantics& semantics) {
    switch (semantics.level) {
        case 0:
            return BinasciiMode::NoKeywords;
        case 1:
            return BinasciiMode::StrictMode;
        default:
            return BinasciiMode::StrictModeAndPadded;
    }
}

PyObject* decode_with_binascii(PyObject* data, BinasciiMode mode, bool validate, bool padded) {
    switch (mode) {
        case BinasciiMode::NoKeywords: {
            const vantorq::base64::Text text{reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(data)),
                                             static_cast<std::size_t>(PyBytes_GET_SIZE(data))};
            if (validate && !vantorq::base64::strict_base64_310(text)) {
                decoding_error(messages::NON_BASE64_DIGIT);
                return nullptr;
            }
            return call_a2b_base64(data, {});
        }
        case BinasciiMode::StrictMode:
            return call_a2b_base64(data, {{"strict_mode", boolean(validate)}});
        case BinasciiMode::StrictModeAndPadded:
            break;
    }
    return call_a2b_base64(data, {{"strict_mode", boolean(validate)}, {"padded", boolean(padded)}});
}

PyObject* decode_configured_with_binascii(PyObject* data, const ConfiguredKeywords& keywords) {
    if (compatibility::python_semantics().level < 2) {
        decoding_error(messages::INCORRECT_PADDING);
        return nullptr;
    }
    runtime::OwnedRef no_ignorechars;
    PyObject* ignorechars = keywords.ignorechars;
    if (ignorechars == nullptr) {
        no_ignorechars = runtime::OwnedRef(PyBytes_FromStringAndSize(nullptr, 0));
        if (!no_ignorechars) return nullptr;
        ignorechars = no_ignorechars.get();
    }
    const Keyword strict_mode{"strict_mode", boolean(keywords.validate)};
    const Keyword padded{"padded", boolean(keywords.padded)};
    const Keyword ignored{"ignorechars", ignorechars};
    const Keyword canonical{"canonical", boolean(keywords.canonical)};
    if (keywords.alphabet != nullptr)
        return call_a2b_base64(data, {strict_mode, {"alphabet", keywords.alphabet}, padded, ignored, canonical});
    return call_a2b_base64(data, {strict_mode, padded, ignored, canonical});
}

bool warn_legacy_altchars(LegacyWarning kind, unsigned char character, PyObject* altchars) {
    static constexpr runtime::InterpreterObject WARNINGS("vantorq.name.warnings");
    const auto warn = module_attribute(interned(WARNINGS, "warnings"), "warn");
    if (!warn) return false;
    runtime::OwnedRef message;
    PyObject* category = PyExc_FutureWarning;
    switch (kind) {
        case LegacyWarning::UrlSafe:
            message = runtime::OwnedRef(PyUnicode_FromFormat(messages::LEGACY_URL_SAFE, character));
            break;
        case LegacyWarning::AltcharsLenient:
            message = runtime::OwnedRef(PyUnicode_FromFormat(messages::LEGACY_ALTCHARS_LENIENT, character, altchars));
            break;
        case LegacyWarning::AltcharsStrict:
            category = PyExc_DeprecationWarning;
            message = runtime::OwnedRef(PyUnicode_FromFormat(messages::LEGACY_ALTCHARS_STRICT, character, altchars));
            break;
    }
    if (!message) return false;
    // Stack level 1 names the caller's line: this function has no frame of its own.
    runtime::OwnedRef level(PyLong_FromLong(1));
    if (!level) return false;
    runtime::OwnedRef result(PyObject_CallFunctionObjArgs(warn.get(), message.get(), category, level.get(), nullptr));
    return static_cast<bool>(result);
}

PyObject* copy_decoded_into(PyObject* decoded, PyObject* destination) {
    runtime::CriticalSection section(destination);
    const auto size = static_cast<std::size_t>(PyBytes_GET_SIZE(decoded));
    const auto available = static_cast<std::size_t>(PyByteArray_GET_SIZE(destination));
    if (available < size) {
        objects::raise_destination_too_small(messages::OUTPUT, size, available);
        return nullptr;
    }
    if (size != 0) std::memcpy(PyByteArray_AS_STRING(destination), PyBytes_AS_STRING(decoded), size);
    return PyLong_FromSize_t(size);
}


std::optional<bool> read_validate(PyObject* value, const compatibility::PythonSemantics& semantics) {
    if (value == nullptr || semantics.major != 3 || semantics.minor != 11) return arguments::read_flag(value, false);
    runtime::OwnedRef index(PyNumber_Index(value));
    if (!index) return std::nullopt;
    int overflow = 0;
    const long converted = PyLong_AsLongAndOverflow(index.get(), &overflow);
    if (converted == -1 && PyErr_Occurred()) return std::nullopt;
    if (overflow != 0 || converted > INT_MAX || converted < INT_MIN) {
        PyErr_SetString(PyExc_OverflowError, "Python int too large to convert to C int");
        return std::nullopt;
    }
    return converted != 0;
}

PyObject* interpreter_bytes(const vantorq::base64::Decoder& decoder, vantorq::base64::Text text, PyObject* held) {
    const auto translation = decoder.interpreter_text(text);
    if (!translation.copied && held != nullptr) return Py_NewRef(held);
    if (translation.copied && !translation.bytes) {
        PyErr_SetString(PyExc_MemoryError, vantorq::base64::INPUT_TOO_LARGE);
        return nullptr;
    }
    const unsigned char* source = translation.copied ? translation.bytes.get() : text.data();
    return PyBytes_FromStringAndSize(reinterpret_cast<const char*>(source), static_cast<Py_ssize_t>(text.size()));
}

std::optional<std::string> take_decoding_error() {
    runtime::OwnedRef raised(PyErr_GetRaisedException());
    const auto error = binascii_attribute("Error");
    if (!error) return std::nullopt;
    if (!PyErr_GivenExceptionMatches(raised.get(), error.get())) {
        PyErr_SetRaisedException(raised.release());
        return std::nullopt;
    }
    runtime::OwnedRef text(PyObject_Str(raised.get()));
    if (!text) return std::nullopt;
    const char* utf8 = PyUnicode_AsUTF8(text.get());
    if (utf8 == nullptr) return std::nullopt;
    return std::string(utf8);
}

}  // namespace vantorq::bindings::base64::fallback
