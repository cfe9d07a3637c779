#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

#include <string>

namespace vantorq::bindings::arguments {
namespace detail {

void too_many_positional(const char* name, Wording wording, std::size_t positional, std::size_t required,
                         Py_ssize_t nargs) {
    if (wording == Wording::Function) {
        PyErr_Format(PyExc_TypeError, "%s() takes at most %zu positional arguments (%zu given)", name, positional,
                     static_cast<std::size_t>(nargs));
        return;
    }
    const char* verb = nargs == 1 ? "was" : "were";
    if (required == positional)
        PyErr_Format(PyExc_TypeError, "%s() takes %zu positional arguments but %zd %s given", name, positional, nargs,
                     verb);
    else
        PyErr_Format(PyExc_TypeError, "%s() takes from %zu to %zu positional arguments but %zd %s given", name,
                     required, positional, nargs, verb);
}

Py_ssize_t find_parameter(const Parameter* parameters, std::size_t count, std::size_t nargs, PyObject* keyword) {
    const Py_ssize_t length = PyUnicode_GetLength(keyword);
    const auto matches = [&](std::size_t i) {
        const auto& parameter = parameters[i].name;
        return static_cast<std::size_t>(length) == parameter.size() &&
               PyUnicode_EqualToUTF8AndSize(keyword, parameter.data(), static_cast<Py_ssize_t>(parameter.size()));
    };
    // Unfilled parameters first: a keyword usually names one of them.
    for (std::size_t i = nargs; i < count; ++i)
        if (matches(i)) return static_cast<Py_ssize_t>(i);
    for (std::size_t i = 0; i < nargs && i < count; ++i)
        if (matches(i)) return static_cast<Py_ssize_t>(i);
    return -1;
}

void unexpected_keyword(const char* name, PyObject* keyword) {
    PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'", name, keyword);
}

// The parameter is copied to be terminated: "%.*s" is formatted only from 3.12.
void multiple_values(const char* name, std::string_view parameter) {
    PyErr_Format(PyExc_TypeError, "%s() got multiple values for argument '%s'", name, std::string(parameter).c_str());
}

// Reports the first missing parameter: no method has more than one required.
void missing_required(const char* name, Wording wording, std::string_view parameter) {
    PyErr_Format(PyExc_TypeError,
                 wording == Wording::Function ? "%s() missing required argument '%s'"
                                              : "%s() missing 1 required positional argument: '%s'",
                 name, std::string(parameter).c_str());
}

}  // namespace detail

std::optional<bool> read_flag(PyObject* value, bool default_value) {
    if (value == nullptr) return default_value;
    if (value == Py_True) return true;
    if (value == Py_False || value == Py_None) return false;
    const int truth = PyObject_IsTrue(value);
    if (truth < 0) return std::nullopt;
    return truth != 0;
}

bool convert_seed_u64(PyObject* value, std::uint64_t& seed) {
    const unsigned long long converted = PyLong_AsUnsignedLongLong(value);
    if (converted == static_cast<unsigned long long>(-1) && PyErr_Occurred()) return false;
    seed = converted;
    return true;
}

bool convert_seed_u32(PyObject* value, std::uint32_t& seed) {
    std::uint64_t wide = 0;
    if (!convert_seed_u64(value, wide)) return false;
    if (wide > 0xFFFFFFFFu) {
        PyErr_SetString(PyExc_OverflowError, "seed does not fit in uint32");
        return false;
    }
    seed = static_cast<std::uint32_t>(wide);
    return true;
}

bool read_wrapping_seed(PyObject* value, std::uint64_t& seed) {
    runtime::OwnedRef index;
    if (!PyLong_Check(value)) {
        index = runtime::OwnedRef(PyNumber_Index(value));
        if (!index) return false;
        value = index.get();
    }
    seed = PyLong_AsUnsignedLongLongMask(value);
    return !(seed == static_cast<std::uint64_t>(-1) && PyErr_Occurred());
}

bool read_index_seed_u32(PyObject* value, std::uint32_t& seed) {
    seed = 0;
    if (value == nullptr) return true;
    int overflow = 0;
    const long long wide = PyLong_AsLongLongAndOverflow(value, &overflow);
    if (wide == -1 && overflow == 0 && PyErr_Occurred()) return false;
    if (overflow > 0 || wide > 0xFFFFFFFFll) {
        PyErr_SetString(PyExc_OverflowError, "number too large to fit in target type");
        return false;
    }
    if (overflow < 0 || wide < 0) {
        PyErr_SetString(PyExc_OverflowError, "number too small to fit in target type");
        return false;
    }
    seed = static_cast<std::uint32_t>(wide);
    return true;
}

}  // namespace vantorq::bindings::arguments
