#pragma once
// vantorq.mmh3, the drop-in for the mmh3 package: its functions and hasher
// classes, kept in vantorq._native under names that cannot collide there
// (mmh3_hash for hash, ...) and named as mmh3 names them, with vantorq.mmh3
// as their module, which re-exports them under mmh3's names.

#include "bindings/python.hpp"

#include <cstdint>

#include "bindings/buffer.hpp"

namespace vantorq::bindings::native::mmh3 {

// Adds the functions and classes to the module object; -1 with an error set on failure.
int add_to(PyObject* module);

// A new class object for `module` (mmh3_hashers.cpp), or null with an error set.
PyObject* create_mmh3_32(PyObject* module);
PyObject* create_mmh3_x64_128(PyObject* module);
PyObject* create_mmh3_x86_128(PyObject* module);

// The bytes of a contiguous buffer exporter, in place (memoryviews of bytes
// as immutable, so that long ones are hashed detached); the exporter's own
// refusal passes, and an object that exports no buffer gets the interpreter's
// TypeError.
buffer::Acquired contiguous_buffer(PyObject* object);

// The seed of hash_from_buffer and the hashers: any object with __index__
// that fits in 64 bits (else the interpreter's TypeError or OverflowError),
// in [0, 0xFFFFFFFF] (else ValueError). An empty slot gives 0.
bool read_index_seed(PyObject* value, std::uint32_t& seed);

// ValueError "seed is out of range"; returns false.
bool seed_out_of_range();

}  // namespace vantorq::bindings::native::mmh3
