import importlib
import os
import pathlib
import sys

import pytest

from base64_modules import skip_if_the_interpreter_lacks_the_option

ROOT = pathlib.Path(__file__).resolve().parents[2]
# VANTORQ_BUILD_DIR names another build (the sanitizer build) to load it from.
TESTING_MODULE_DIR = pathlib.Path(os.environ.get("VANTORQ_BUILD_DIR", ROOT / "build" / "cpp")) / "tests" / "support"


@pytest.fixture(scope="session")
def testing():
    """The test-only module built by scripts/test.sh beside the C++ tests."""
    if str(TESTING_MODULE_DIR) not in sys.path:
        sys.path.insert(0, str(TESTING_MODULE_DIR))
    return importlib.import_module("_vantorq_testing")


@pytest.hookimpl(wrapper=True)
def pytest_pyfunc_call(pyfuncitem):
    try:
        return (yield)
    except TypeError as error:
        skip_if_the_interpreter_lacks_the_option(error)
        raise
