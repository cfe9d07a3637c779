"""The interpreter's own tests of its base64 module, run against the drop-in."""

import importlib.util
import pathlib
import sys
import unittest

import pytest

import vantorq.base64

try:
    import test

    SUITE = pathlib.Path(test.__file__).with_name("test_base64.py")
except ImportError:
    SUITE = None


@pytest.mark.skipif(SUITE is None or not SUITE.exists(), reason="the interpreter's test suite is not installed")
def test_the_interpreters_own_base64_tests_pass_against_the_drop_in(monkeypatch):
    monkeypatch.setitem(sys.modules, "base64", vantorq.base64)
    spec = importlib.util.spec_from_file_location("test_base64_against_vantorq", SUITE)
    suite_module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(suite_module)
    assert suite_module.base64 is vantorq.base64
    result = unittest.TextTestRunner(verbosity=0).run(unittest.defaultTestLoader.loadTestsFromModule(suite_module))
    assert result.testsRun > 50
    assert result.wasSuccessful(), result.failures + result.errors
