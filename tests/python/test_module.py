import ctypes
import importlib
import importlib.util
import inspect
import subprocess
import sys
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
    assert library.PyModExport__vantorq
    assert library.PyInit__vantorq


def test_later_cxx_extension_modules_still_load():
    # numpy shares the C++ runtime the module loads; it crashed on import when
    # that runtime had bound operator new to the module's allocator.
    if importlib.util.find_spec("numpy") is None:
        pytest.skip("numpy is not installed")
    subprocess.run([sys.executable, "-c", "import _vantorq, numpy"], check=True, timeout=120)


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


def test_module_does_not_need_the_gil():
    # On a free-threaded interpreter importing a module that needs the GIL re-enables it.
    if hasattr(sys, "_is_gil_enabled") and "free-threading" in sys.version:
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
    for name in FUNCTIONS:
        function = getattr(_vantorq, name)
        finder = doctest.DocTestFinder(recurse=False)
        runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
        for test in finder.find(function, name, globs=dict(vars(_vantorq))):
            runner.run(test)
        assert runner.failures == 0, name
        tried += runner.tries
    assert tried >= len(FUNCTIONS)
