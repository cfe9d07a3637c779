#pragma once
// vantorq._native.cpu_info: the processor this process runs on and the
// kernels each family's table chose for it.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

namespace vantorq::bindings::native {

PyObject* cpu_info(const arguments::Arguments<0>& args);

}  // namespace vantorq::bindings::native
