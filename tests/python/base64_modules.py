"""The Base64 functions are tested as _vantorq exports them and once more as
the drop-in vantorq.base64 offers them."""

import _vantorq
import vantorq.base64

BASE64_MODULES = {"": _vantorq, "@vantorq.base64": vantorq.base64}


def through_each_module(cases):
    """`cases(module)` gives {name: case}; returns every module's cases, each
    name followed by its module's suffix."""
    return {name + suffix: case for suffix, module in BASE64_MODULES.items() for name, case in cases(module).items()}
