// The xxhash functions as the interpreter sees them: names, parameters and
// docstrings (whose first line is the text signature).

#include "bindings/python.hpp"

#include "bindings/families.hpp"
#include "bindings/schema.hpp"

namespace vantorq::bindings {
namespace xxhash::methods {

// Room for the family's functions and the sentinel.
PyMethodDef METHODS[1] = {};
std::once_flag METHODS_INIT;

}  // namespace xxhash::methods

namespace schema::xxhash {

void register_all(PyMethodDef* table, int /*major*/, int /*minor*/) { table[0] = PyMethodDef{}; }

}  // namespace schema::xxhash

namespace families {
const runtime::MethodTable XXHASH = {xxhash::methods::METHODS, &xxhash::methods::METHODS_INIT, &schema::xxhash::register_all};
}  // namespace families

}  // namespace vantorq::bindings
