"""The installed package: one module per family, the drop-in base64 module,
and types that match the built module."""

import base64
import importlib
import importlib.metadata
import inspect
import pathlib
import pydoc
import subprocess
import sys

import pytest

import _vantorq
import vantorq
import vantorq._native
import vantorq.base64

FAMILY_PREFIXES = {"base64": ("b64", "standard_b64", "urlsafe_b64"), "xxh3": ("xxh3_",), "murmur3": ("murmur3_",)}


@pytest.mark.parametrize("family", FAMILY_PREFIXES)
def test_each_family_module_offers_every_name_of_its_family(family):
    module = importlib.import_module(f"vantorq.{family}")
    names = [name for name in dir(_vantorq) if name.startswith(FAMILY_PREFIXES[family])]
    assert names
    for name in names:
        # The package's own module gives some of them in an extended form.
        assert name in module.__all__, name
        assert getattr(module, name) in (getattr(_vantorq, name), getattr(vantorq._native, name, None)), name


# Written in vantorq.base64 over its encodebytes and decodebytes.
FILE_FUNCTIONS = {"encode", "decode"}


def test_drop_in_base64_offers_every_name_of_the_standard_module():
    for name in base64.__all__:
        assert name in vantorq.base64.__all__
        if name not in FILE_FUNCTIONS:
            native = getattr(_vantorq, name, getattr(vantorq._native, name, getattr(base64, name)))
            assert getattr(vantorq.base64, name) is native, name


@pytest.mark.parametrize("name", ["murmur3_x86_32", "murmur3_x86_128", "murmur3_x64_128"])
def test_hasher_classes_belong_to_the_murmur3_module(name):
    assert inspect.getmodule(getattr(_vantorq, name)) is vantorq.murmur3
    assert f"class {name}(" in pydoc.render_doc(vantorq.murmur3, renderer=pydoc.plaintext)


def test_version_is_the_installed_distributions():
    assert vantorq.__version__ == importlib.metadata.version("vantorq")


def mypy(tmp_path, *args):
    # Run away from the work tree, so that only the installed package is seen.
    result = subprocess.run([sys.executable, "-m", *args], cwd=tmp_path, capture_output=True, text=True)
    assert result.returncode == 0, result.stdout + result.stderr


def test_stubs_match_the_built_module(tmp_path):
    mypy(tmp_path, "mypy.stubtest", "_vantorq", "vantorq")


def test_stubs_type_a_typical_use(tmp_path):
    usage = pathlib.Path(__file__).with_name("typed_usage.py")
    mypy(tmp_path, "mypy", "--strict", "--warn-unused-ignores", "--no-incremental", str(usage))
