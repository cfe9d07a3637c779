"""The interpreter's own tests of its base64 module, run against ours: once
through the drop-in, once with the standard module's Base64 functions
replaced by _vantorq's."""

import base64
import importlib.util
import pathlib
import sys
import unittest

import pytest

import _vantorq
import vantorq.base64

try:
    import test

    SUITE = pathlib.Path(test.__file__).with_name("test_base64.py")
except ImportError:
    SUITE = None

# The functions both modules have, on this interpreter.
REPLACED = [name for name in base64.__all__ if "b64" in name and hasattr(_vantorq, name)]


def through_the_drop_in(monkeypatch):
    monkeypatch.setitem(sys.modules, "base64", vantorq.base64)
    return vantorq.base64


def through_the_standard_module(monkeypatch):
    for name in REPLACED:
        monkeypatch.setattr(base64, name, getattr(_vantorq, name))
    return base64


@pytest.mark.skipif(SUITE is None or not SUITE.exists(), reason="the interpreter's test suite is not installed")
@pytest.mark.parametrize("install", [through_the_drop_in, through_the_standard_module], ids=lambda f: f.__name__)
def test_the_interpreters_own_base64_tests_pass_against_ours(monkeypatch, install):
    module = install(monkeypatch)
    spec = importlib.util.spec_from_file_location("test_base64_against_vantorq", SUITE)
    suite_module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(suite_module)
    assert suite_module.base64 is module
    result = unittest.TextTestRunner(verbosity=0).run(unittest.defaultTestLoader.loadTestsFromModule(suite_module))
    assert result.testsRun > 20  # the suite was found and loaded (3.10 has the fewest)
    assert result.wasSuccessful(), result.failures + result.errors
