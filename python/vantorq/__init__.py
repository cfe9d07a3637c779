"""Bit-exact, vectorised Base64, XXH3 and MurmurHash3 for free-threaded CPython.

The extension modules ``_vantorq`` and ``vantorq._native`` do the work; this
package gives it a home per family: ``vantorq.base64`` (a drop-in for the
standard ``base64`` module), ``vantorq.xxh3``, ``vantorq.murmur3`` and
``vantorq.columns`` (Arrow columns), and drop-ins for the ``xxhash``, ``mmh3``
and ``pybase64`` packages under their names. ``python -m vantorq`` encodes,
decodes and hashes files from a shell. ``cpu_info()`` names the processor and
the kernels each family chose for it.
"""

import importlib

# typing is not imported for this: the command line starts with this package,
# and typing's import would be a tenth of its start-up.
TYPE_CHECKING = False
if TYPE_CHECKING:
    from vantorq import base64, columns, mmh3, murmur3, pybase64, xxh3, xxhash
    from vantorq._native import cpu_info

__version__ = "0.1.0"

__all__ = ["__version__", "base64", "columns", "cpu_info", "mmh3", "murmur3", "pybase64", "xxh3", "xxhash"]


def __getattr__(name: str) -> object:
    # The family modules are imported when first named, not with the package:
    # `python -m vantorq.base64` then runs a module that is not imported yet.
    if name == "cpu_info":
        return importlib.import_module("vantorq._native").cpu_info
    if name in __all__:
        return importlib.import_module(f"vantorq.{name}")
    raise AttributeError(f"module 'vantorq' has no attribute {name!r}")
