// The base64 functions as the interpreter sees them: names, parameters and
// docstrings (whose first line is the text signature).

#include "bindings/python.hpp"

#include "bindings/families.hpp"
#include "bindings/schema.hpp"

namespace vantorq::bindings {
namespace base64::api {

// Room for the family's functions and the sentinel.
PyMethodDef METHODS[1] = {};
std::once_flag METHODS_INIT;

}  // namespace base64::api

namespace schema::base64 {

void register_all(PyMethodDef* table, int /*major*/, int /*minor*/) { table[0] = PyMethodDef{}; }

}  // namespace schema::base64

namespace families {
const runtime::MethodTable BASE64 = {base64::api::METHODS, &base64::api::METHODS_INIT, &schema::base64::register_all};
}  // namespace families

}  // namespace vantorq::bindings
