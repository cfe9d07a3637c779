"""A drop-in for the standard ``base64`` module.

The Base64 functions are those of ``_vantorq`` (the same results, exceptions
and warnings as the standard ones, faster), with their ``_into`` forms that
write into a reusable bytearray and their list forms, and ``encodebytes`` and
``decodebytes`` natively; everything else is the standard module's own.
"""

from base64 import a85decode as a85decode
from base64 import a85encode as a85encode
from base64 import b16decode as b16decode
from base64 import b16encode as b16encode
from base64 import b32decode as b32decode
from base64 import b32encode as b32encode
from base64 import b32hexdecode as b32hexdecode
from base64 import b32hexencode as b32hexencode
from base64 import b85decode as b85decode
from base64 import b85encode as b85encode
from base64 import decode as decode
from base64 import encode as encode
from base64 import z85decode as z85decode
from base64 import z85encode as z85encode

from _vantorq import b64decode as b64decode
from _vantorq import b64decode_batch as b64decode_batch
from _vantorq import b64decode_batch_into as b64decode_batch_into
from _vantorq import b64decode_into as b64decode_into
from _vantorq import b64encode as b64encode
from _vantorq import b64encode_batch as b64encode_batch
from _vantorq import b64encode_batch_into as b64encode_batch_into
from _vantorq import b64encode_into as b64encode_into
from _vantorq import standard_b64decode as standard_b64decode
from _vantorq import standard_b64decode_batch as standard_b64decode_batch
from _vantorq import standard_b64decode_batch_into as standard_b64decode_batch_into
from _vantorq import standard_b64decode_into as standard_b64decode_into
from _vantorq import standard_b64encode as standard_b64encode
from _vantorq import standard_b64encode_batch as standard_b64encode_batch
from _vantorq import standard_b64encode_batch_into as standard_b64encode_batch_into
from _vantorq import standard_b64encode_into as standard_b64encode_into
from _vantorq import urlsafe_b64decode as urlsafe_b64decode
from _vantorq import urlsafe_b64decode_batch as urlsafe_b64decode_batch
from _vantorq import urlsafe_b64decode_batch_into as urlsafe_b64decode_batch_into
from _vantorq import urlsafe_b64decode_into as urlsafe_b64decode_into
from _vantorq import urlsafe_b64encode as urlsafe_b64encode
from _vantorq import urlsafe_b64encode_batch as urlsafe_b64encode_batch
from _vantorq import urlsafe_b64encode_batch_into as urlsafe_b64encode_batch_into
from _vantorq import urlsafe_b64encode_into as urlsafe_b64encode_into

from vantorq._native import decodebytes as decodebytes
from vantorq._native import encodebytes as encodebytes

__all__ = [
    # The standard module's names, in its order.
    "encode",
    "decode",
    "encodebytes",
    "decodebytes",
    "b64encode",
    "b64decode",
    "b32encode",
    "b32decode",
    "b32hexencode",
    "b32hexdecode",
    "b16encode",
    "b16decode",
    "b85encode",
    "b85decode",
    "a85encode",
    "a85decode",
    "z85encode",
    "z85decode",
    "standard_b64encode",
    "standard_b64decode",
    "urlsafe_b64encode",
    "urlsafe_b64decode",
    # The forms that write into a caller's bytearray.
    "b64encode_into",
    "b64decode_into",
    "standard_b64encode_into",
    "standard_b64decode_into",
    "urlsafe_b64encode_into",
    "urlsafe_b64decode_into",
    # The list forms.
    "b64encode_batch",
    "b64encode_batch_into",
    "b64decode_batch",
    "b64decode_batch_into",
    "standard_b64encode_batch",
    "standard_b64encode_batch_into",
    "standard_b64decode_batch",
    "standard_b64decode_batch_into",
    "urlsafe_b64encode_batch",
    "urlsafe_b64encode_batch_into",
    "urlsafe_b64decode_batch",
    "urlsafe_b64decode_batch_into",
]
