"""The helpers pybase64's suite imports from its tests/utils.py, which its
source distribution leaves out. There, param_simd runs a test once for each
SIMD path of pybase64's C extension; vantorq chooses its kernels once per
process, so each test runs once, on that choice (named in the test's id)."""

import pytest

import vantorq

_KERNELS = vantorq.cpu_info()["kernels"]["base64"]

param_simd = pytest.mark.parametrize("simd", [0], ids=[f"{_KERNELS['encode']}-{_KERNELS['decode']}"])


def unused_args(*args: object) -> None:
    """Takes the parameters a test has only to order its runs."""
