import importlib
import os
import pathlib
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
# VANTORQ_BUILD_DIR names another build (the sanitizer build) to load it from.
TESTING_MODULE_DIR = pathlib.Path(os.environ.get("VANTORQ_BUILD_DIR", ROOT / "build" / "cpp")) / "tests" / "support"


@pytest.fixture(scope="session")
def testing():
    """The test-only module built by scripts/test.sh beside the C++ tests."""
    if str(TESTING_MODULE_DIR) not in sys.path:
        sys.path.insert(0, str(TESTING_MODULE_DIR))
    return importlib.import_module("_vantorq_testing")
