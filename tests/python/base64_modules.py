"""The Base64 functions are tested as _vantorq exports them and once more as
the drop-in vantorq.base64 offers them."""

import re
import sys

import pytest

import _vantorq
import vantorq.base64

BASE64_MODULES = {"": _vantorq, "@vantorq.base64": vantorq.base64}


def through_each_module(cases):
    """`cases(module)` gives {name: case}; returns every module's cases, each
    name followed by its module's suffix."""
    return {name + suffix: case for suffix, module in BASE64_MODULES.items() for name, case in cases(module).items()}


# The options that ours offer on every interpreter and the standard module
# gained later (wrapcol and padded in 3.15, ignorechars and canonical too).
# Where a test hands one to the interpreter's own function and it refuses
# it, there is nothing to compare with: the test is skipped, not failed.
# Only the base64 functions' own refusal counts; a binascii call that
# refuses a keyword is a fault of ours and still fails.
NEWER_OPTIONS = ("wrapcol", "padded", "ignorechars", "canonical")
REFUSAL = re.compile(r"^(?:\w+_)?b64(?:en|de)code\(\) got an unexpected keyword argument '(\w+)'$")


def skip_if_the_interpreter_lacks_the_option(error):
    match = REFUSAL.match(str(error)) if type(error) is TypeError else None
    if match and match[1] in NEWER_OPTIONS:
        pytest.skip(f"this interpreter's base64 has no {match[1]!r} option to compare with")

warns_of_legacy_characters = pytest.mark.skipif(
    sys.version_info < (3, 15), reason="the interpreter warns of legacy characters from 3.15"
)


def wrong_length_altchars_error(altchars):
    """What a direct call (no fallback to the interpreter) raises for altchars
    not of length 2: the interpreter's ValueError from 3.15; before, the
    AssertionError its assert raises, with a message of ours."""
    if sys.version_info >= (3, 15):
        return ValueError, f"invalid altchars: {bytes(altchars)!r}"
    return AssertionError, "altchars must be a bytes-like object or ASCII string of length 2"
