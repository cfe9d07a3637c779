#include "bindings/python.hpp"

#include "bindings/native/cpu_info.hpp"

#include <string_view>

#include "backend/capabilities.hpp"
#include "backend/kernel_choice.hpp"
#include "base64/runtime_dispatch.hpp"
#include "bindings/runtime.hpp"
#include "murmur3/kernels.hpp"
#include "xxhash/long_inputs.hpp"

namespace vantorq::bindings::native {
namespace {

using runtime::OwnedRef;

OwnedRef text(std::string_view value) {
    return OwnedRef(PyUnicode_FromStringAndSize(value.data(), static_cast<Py_ssize_t>(value.size())));
}

// Sets `key` of `dict` to `value`, consuming the value; false with an error set.
bool put(PyObject* dict, const char* key, OwnedRef value) {
    return value && PyDict_SetItemString(dict, key, value.get()) == 0;
}

OwnedRef feature_list(const backend::Processor& processor) {
    const auto names = backend::feature_names(processor);
    OwnedRef list(PyList_New(static_cast<Py_ssize_t>(names.size())));
    if (!list) return list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        OwnedRef name = text(names[i]);
        if (!name) return {};
        PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i), name.release());
    }
    return list;
}

// {role: kernel} of one family's table.
OwnedRef choice_dict(const backend::KernelChoices& choices) {
    OwnedRef dict(PyDict_New());
    if (!dict) return dict;
    for (const backend::KernelChoice& choice : choices) {
        OwnedRef role = text(choice.role), kernel = text(choice.kernel);
        if (!role || !kernel || PyDict_SetItem(dict.get(), role.get(), kernel.get()) < 0) return {};
    }
    return dict;
}

struct FamilyReport {
    const char* family;
    backend::KernelChoices (*choices)();
};

constexpr FamilyReport FAMILIES[] = {
    {"base64", [] { return base64::runtime_dispatch::kernel_choices(base64::runtime_dispatch::selected_backend()); }},
    {"xxhash", [] { return xxhash::long_inputs::kernel_choices(xxhash::long_inputs::long_engine()); }},
    {"murmur3", [] { return murmur3::kernel_choices(murmur3::kernels()); }},
};

OwnedRef kernel_dict() {
    OwnedRef dict(PyDict_New());
    if (!dict) return dict;
    for (const FamilyReport& family : FAMILIES)
        if (!put(dict.get(), family.family, choice_dict(family.choices()))) return {};
    return dict;
}

}  // namespace

PyObject* cpu_info(const arguments::Arguments<0>&) {
    const backend::Processor& processor = backend::processor();
    OwnedRef info(PyDict_New());
    if (!info || !put(info.get(), "vendor", text(backend::vendor_name(processor.vendor))) ||
        !put(info.get(), "name", text(backend::brand_string())) ||
        !put(info.get(), "family", OwnedRef(PyLong_FromUnsignedLong(processor.family))) ||
        !put(info.get(), "model", OwnedRef(PyLong_FromUnsignedLong(processor.model))) ||
        !put(info.get(), "features", feature_list(processor)) ||
        !put(info.get(), "data_cache_bytes", OwnedRef(PyLong_FromSize_t(processor.data_cache_bytes))) ||
        !put(info.get(), "kernels", kernel_dict()))
        return nullptr;
    return info.release();
}

}  // namespace vantorq::bindings::native
