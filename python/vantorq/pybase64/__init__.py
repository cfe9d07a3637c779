"""A drop-in for the pybase64 package, version 1.5.1.

``from vantorq import pybase64`` in place of ``import pybase64``: the same
names, signatures, defaults, result types (bytes, str, bytearray), values,
exceptions and warnings, with pybase64's messages, and the same rules on
every interpreter from 3.10 to 3.15 (pybase64's, not the running
interpreter's base64 module's: ``urlsafe_b64decode`` does not require
padding, ``ignorechars``, ``canonical``, ``padded`` and ``wrapcol`` are there
everywhere). Every function is native (``vantorq._native``, with a
``pybase64_`` prefix there), on vantorq's vectorised Base64 kernels.
``python -m vantorq.pybase64`` is pybase64's command line.

Where it goes beyond pybase64:

- ``s`` may also be passed by keyword, as pybase64's own type stubs name it
  (pybase64 takes it by position only), and argument errors (a missing or
  extra argument) are worded as the interpreter words them for a builtin;
- the marker of an option not given, passed on for ``validate``, means "not
  given" by position too (pybase64 reads it as true there);
- altchars whose two bytes are the same, or that hold ``=``, a letter or a
  digit, decode with the first byte standing for 62 and the second for 63
  (the first winning where they are the same) and ``=`` read as a symbol when
  it is one of them; pybase64 reads such pairs differently depending on the
  route a text takes through it;
- ``get_version()`` and ``get_license_text()`` describe vantorq: its version,
  the Base64 kernels it chose for this processor, and its licence.
"""

from vantorq import __version__ as _vantorq_version
from vantorq._native import cpu_info as _cpu_info
from vantorq._native import pybase64_b64decode as b64decode
from vantorq._native import pybase64_b64decode_as_bytearray as b64decode_as_bytearray
from vantorq._native import pybase64_b64encode as b64encode
from vantorq._native import pybase64_b64encode_as_string as b64encode_as_string
from vantorq._native import pybase64_encodebytes as encodebytes
from vantorq._native import pybase64_standard_b64decode as standard_b64decode
from vantorq._native import pybase64_standard_b64encode as standard_b64encode
from vantorq._native import pybase64_urlsafe_b64decode as urlsafe_b64decode
from vantorq._native import pybase64_urlsafe_b64encode as urlsafe_b64encode

# The functions' signatures name their marker of an option not given.
from vantorq.pybase64._unspecified import _Unspecified as _Unspecified

# The pybase64 release whose behaviour this module gives.
__version__ = "1.5.1"

__all__ = (
    "b64decode",
    "b64decode_as_bytearray",
    "b64encode",
    "b64encode_as_string",
    "encodebytes",
    "standard_b64decode",
    "standard_b64encode",
    "urlsafe_b64decode",
    "urlsafe_b64encode",
)


def get_version() -> str:
    """The pybase64 version given, then vantorq's, and the Base64 kernels in use."""
    kernels = _cpu_info()["kernels"]["base64"]
    return (
        f"{__version__} (vantorq {_vantorq_version} - "
        f"Base64 kernels: encode {kernels['encode']}, decode {kernels['decode']})"
    )


def get_license_text() -> str:
    """vantorq's licence."""
    from importlib.resources import files

    return files("vantorq").joinpath("LICENSE").read_text(encoding="utf-8")
