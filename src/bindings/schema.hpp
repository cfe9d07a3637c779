#pragma once
// One declaration per module function, as the interpreter's Argument Clinic
// keeps one block per function: its signature, its implementation and the
// body of its docstring. The parser reads the signature; the method table,
// with each docstring's text-signature line, is generated from the same
// declarations.

#include "bindings/python.hpp"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "bindings/arguments.hpp"
#include "bindings/compatibility.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::schema {

using arguments::Arguments;
using arguments::Parameter;
using arguments::Signature;

template <std::size_t N>
struct Function {
    Signature<N> signature;
    PyObject* (*implementation)(const Arguments<N>&);
    const char* doc_body;  // the docstring after its generated signature line

    // Parses the arguments and runs the implementation. Inlined into the
    // entry point, where the declaration is a constant and the parse folds.
    [[gnu::always_inline]] PyObject* call(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) const {
        const auto parsed = arguments::parse_raw_arguments(signature, args, nargs, kwnames);
        return parsed ? implementation(*parsed) : nullptr;
    }
};

// "name($module, /, a, b=1, *, c=2)\n--\n\n" followed by `body`: the first
// line is what inspect reads as the function's __text_signature__.
std::string docstring(const char* name, std::span<const Parameter> parameters, std::size_t positional,
                      const char* body, bool before_3_15);

// A family's method table, generated from its declarations (a tuple of
// Function) once per process: the defaults some signatures show depend on the
// running interpreter.
template <const auto& FUNCTIONS>
class MethodTable {
    static constexpr std::size_t COUNT = std::tuple_size_v<std::remove_cvref_t<decltype(FUNCTIONS)>>;

public:
    // The process-wide table, sentinel-terminated, for PyModule_AddFunctions.
    static PyMethodDef* methods() {
        static MethodTable TABLE;
        return TABLE.methods_.data();
    }

private:
    MethodTable() { fill(std::make_index_sequence<COUNT>{}); }

    template <std::size_t... I>
    void fill(std::index_sequence<I...>) {
        const bool before_3_15 = !compatibility::python_semantics().from_3_15;
        (add<I>(before_3_15), ...);
    }

    template <std::size_t I>
    void add(bool before_3_15) {
        const auto& function = std::get<I>(FUNCTIONS);
        const auto& signature = function.signature;
        docs_[I] = docstring(signature.name, signature.parameters, signature.positional, function.doc_body,
                             before_3_15);
        methods_[I] = {signature.name,
                       reinterpret_cast<PyCFunction>(
                           reinterpret_cast<void (*)()>(&runtime::entry_point<FUNCTIONS, I>)),
                       METH_FASTCALL | METH_KEYWORDS, docs_[I].c_str()};
    }

    std::array<std::string, COUNT> docs_;
    std::array<PyMethodDef, COUNT + 1> methods_{};
};

}  // namespace vantorq::bindings::schema
