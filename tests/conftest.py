import importlib.util
import os
import pathlib
import sys

# VANTORQ_BUILD_DIR names a build tree (the debug or sanitizer build) whose
# modules the tests load instead of the installed ones: _vantorq through
# PYTHONPATH, the package's own extension module from the tree's vantorq/,
# registered before the package's modules import it.
if build := os.environ.get("VANTORQ_BUILD_DIR"):
    (path,) = pathlib.Path(build, "vantorq").glob("_native.*.so")
    spec = importlib.util.spec_from_file_location("vantorq._native", path)
    sys.modules["vantorq._native"] = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(sys.modules["vantorq._native"])
    # An import finds it registered and loads nothing, so the package never gets it as an attribute.
    import vantorq

    vantorq._native = sys.modules["vantorq._native"]
