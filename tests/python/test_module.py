import ctypes
import importlib
import importlib.util
import inspect
import subprocess
import sys
import sysconfig
import types

import pytest

import _vantorq

FUNCTIONS = [name for name in dir(_vantorq) if isinstance(getattr(_vantorq, name), types.BuiltinFunctionType)]


def test_all_lists_the_classes_and_no_function():
    assert FUNCTIONS, "the module registered no functions"
    assert _vantorq.__all__ == ["murmur3_x86_32", "murmur3_x86_128", "murmur3_x64_128"]


def test_every_function_has_a_signature():
    for name in FUNCTIONS:
        signature = inspect.signature(getattr(_vantorq, name))
        assert next(iter(signature.parameters)) in ("s", "items"), name


def test_both_entry_points_are_exported():
    library = ctypes.PyDLL(_vantorq.__file__)
    # Interpreters before 3.15 know only the classic hook; ours is there on every version.
    assert hasattr(library, "PyModExport__vantorq") == (sys.version_info >= (3, 15))
    assert library.PyInit__vantorq


def test_later_cxx_extension_modules_still_load():
    # numpy shares the C++ runtime the module loads; it crashed on import when
    # that runtime had bound operator new to the module's allocator.
    if importlib.util.find_spec("numpy") is None:
        pytest.skip("numpy is not installed")
    subprocess.run([sys.executable, "-c", "import _vantorq, numpy"], check=True, timeout=120)


# Each allocates through the C++ runtime and the C library after all are loaded.
EXERCISE_EACH = """
assert numpy.sort(numpy.arange(100_000)[::-1])[-1] == 99_999
assert pyarrow.array([b"ab" * 500] * 1_000).to_pylist()[-1] == b"ab" * 500
assert _vantorq.b64decode_batch(_vantorq.b64encode_batch([b"x" * 1_000] * 1_000))[-1] == b"x" * 1_000
"""


@pytest.mark.parametrize(
    "order", [("_vantorq", "vantorq._native", "numpy", "pyarrow"), ("pyarrow", "numpy", "vantorq._native", "_vantorq")]
)
def test_other_cxx_extension_modules_share_the_process_in_either_order(order):
    # The module must neither export an allocator, to which a C++ runtime it
    # loads first would bind the operator new of every later module, nor take
    # mimalloc's malloc or operator new as its own, which would free blocks
    # that the runtime made.
    if missing := [name for name in order if importlib.util.find_spec(name) is None]:
        pytest.skip(f"not installed: {', '.join(missing)}")
    code = "".join(f"import {name}\n" for name in order) + EXERCISE_EACH
    subprocess.run([sys.executable, "-c", code], check=True, timeout=120)


def test_module_metadata():
    assert _vantorq.__name__ == "_vantorq"
    assert _vantorq.__doc__ == ""


def test_reimport_gives_an_equivalent_module():
    first = sys.modules.pop("_vantorq")
    try:
        second = importlib.import_module("_vantorq")
        assert second is not first
        assert sorted(n for n in dir(second) if not n.startswith("_")) == sorted(
            n for n in dir(first) if not n.startswith("_")
        )
        assert second.murmur3_32(b"hello") == first.murmur3_32(b"hello")
        # Each module object makes its own classes, as each interpreter's must.
        assert second.murmur3_x64_128 is not first.murmur3_x64_128
        assert second.murmur3_x64_128(b"hello").digest() == first.murmur3_x64_128(b"hello").digest()
        assert second.__all__ == first.__all__
    finally:
        sys.modules["_vantorq"] = first


@pytest.mark.skipif(
    not sysconfig.get_config_var("Py_GIL_DISABLED"),
    reason="only a free-threaded interpreter can run without the GIL; this one always holds it",
)
def test_module_does_not_need_the_gil():
    # On a free-threaded interpreter importing a module that needs the GIL re-enables it.
    assert not sys._is_gil_enabled()


def test_classic_init_hook_builds_the_same_module():
    # Interpreters without the export hook call PyInit__vantorq and build the
    # module from its definition; do that by hand through the C API.
    library = ctypes.PyDLL(_vantorq.__file__)
    library.PyInit__vantorq.restype = ctypes.c_void_p
    definition = library.PyInit__vantorq()
    api = ctypes.pythonapi
    api.PyModule_FromDefAndSpec2.restype = ctypes.py_object
    api.PyModule_FromDefAndSpec2.argtypes = [ctypes.c_void_p, ctypes.py_object, ctypes.c_int]
    api.PyModule_ExecDef.argtypes = [ctypes.py_object, ctypes.c_void_p]
    spec = importlib.util.spec_from_file_location("_vantorq", _vantorq.__file__)
    module = api.PyModule_FromDefAndSpec2(definition, spec, 1013)
    assert api.PyModule_ExecDef(module, definition) == 0
    assert module.murmur3_x64_128_digest(b"hello") == _vantorq.murmur3_x64_128_digest(b"hello")
    assert sorted(n for n in dir(module) if not n.startswith("_")) == sorted(
        n for n in dir(_vantorq) if not n.startswith("_")
    )


def test_docstring_examples_hold():
    import doctest

    tried = 0
    # The examples show the messages of 3.11 and later; 3.10's validation words them otherwise.
    flags = doctest.ELLIPSIS | (doctest.IGNORE_EXCEPTION_DETAIL if sys.version_info < (3, 11) else 0)
    for name in FUNCTIONS:
        function = getattr(_vantorq, name)
        finder = doctest.DocTestFinder(recurse=False)
        runner = doctest.DocTestRunner(optionflags=flags)
        for test in finder.find(function, name, globs=dict(vars(_vantorq))):
            runner.run(test)
        assert runner.failures == 0, name
        tried += runner.tries
    assert tried >= len(FUNCTIONS)
