"""A drop-in for the standard ``base64`` module.

The Base64 functions are those of ``_vantorq`` (the same results, exceptions
and warnings as the standard ones, faster), with their ``_into`` forms that
write into a reusable bytearray and their list forms, and ``encodebytes`` and
``decodebytes`` natively; the file functions ``encode`` and ``decode`` and
``python -m vantorq.base64`` work through those two; everything else is the
standard module's own.
"""

import binascii
import io
import sys
from typing import BinaryIO

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

if sys.version_info >= (3, 13):
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
    # The standard module's names, in its order (as the running interpreter has them).
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
]
if sys.version_info >= (3, 13):
    __all__ += ["z85encode", "z85decode"]
__all__ += [
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

MAXLINESIZE = 76  # characters of a line of encodebytes, its line feed excluded
MAXBINSIZE = (MAXLINESIZE // 4) * 3  # bytes that one such line encodes
# Bytes encoded per call of encode: whole lines, a few hundred KiB.
ENCODE_BLOCK = MAXBINSIZE * 4096
# Text read per block by decode, then to the end of its line.
DECODE_BLOCK = 1 << 20


def encode(input: BinaryIO, output: BinaryIO) -> None:
    """Encode a file; input and output are binary files.

    Writes what encodebytes gives for the whole input: lines of MAXLINESIZE
    characters, each ending with a line feed.
    """
    while block := input.read(ENCODE_BLOCK):
        # A short read (a pipe) is completed, so that only the last block may
        # end in a partial line.
        while len(block) < ENCODE_BLOCK and (more := input.read(ENCODE_BLOCK - len(block))):
            block += more
        output.write(encodebytes(block))


def decode(input: BinaryIO, output: BinaryIO) -> None:
    """Decode a file; input and output are binary files.

    Each line is decoded on its own, as the standard decode does (lines of a
    text file included): the output of the lines before one that is not
    Base64 stays written. Lines as encode writes them are decoded a block at
    a time.
    """
    while block := input.read(DECODE_BLOCK):
        block += input.readline()  # to the end of the block's last line
        whole = decoded_as_lines(block) if isinstance(block, bytes) else None
        if whole is not None:
            output.write(whole)
            continue
        for line in io.StringIO(block, newline="\n") if isinstance(block, str) else io.BytesIO(block):
            output.write(b64decode(line))


def decoded_as_lines(block: bytes) -> bytes | None:
    """`block` decoded in one call when that gives what decoding it line by
    line gives, else None: when every line but the last has one width, each
    holds whole groups of symbols and only the last group of all is padded."""
    width = block.find(b"\n") + 1  # a line and its line feed
    lines = len(block) // width if width else 0
    last = block[lines * width :]
    symbols_in_last = len(last) - last.endswith(b"\n")
    if (
        width == 0
        or (width - 1) % 4
        or symbols_in_last % 4
        or block[width - 1 :: width] != b"\n" * lines
        or block.count(b"\n") != lines + last.endswith(b"\n")
    ):
        return None
    try:
        return b64decode(block, validate=True, ignorechars=b"\n")
    except binascii.Error:  # a byte outside the alphabet, or padding before the end
        return None


def main() -> None:
    """``python -m vantorq.base64 [-h|-d|-e|-u] [file|-]``: encodes (-e, the
    default) or decodes (-d or -u) the file or standard input to standard
    output, as ``python -m base64`` of the running interpreter does. Before
    3.12 it also takes -t, which shows a fixed string encoded and decoded
    again; 3.10 has no -h."""
    import getopt

    flags = "deu"
    lines = ["-d, -u: decode", "-e: encode (default)"]
    if sys.version_info >= (3, 11):
        flags = "h" + flags
        lines.insert(0, "-h: print this help message and exit")
    if sys.version_info < (3, 12):
        flags += "t"
        lines.append("-t: encode and decode string 'Aladdin:open sesame'")
    usage = f"usage: {sys.argv[0]} [{'|'.join('-' + flag for flag in flags)}] [file|-]"
    usage += "".join("\n        " + line for line in lines)
    try:
        options, arguments = getopt.getopt(sys.argv[1:], flags)
    except getopt.error as error:
        print(error, usage, sep="\n", file=sys.stderr)
        sys.exit(2)
    function = encode
    for option, _ in options:  # the last of -e, -d and -u wins; -h and -t end the run where they stand
        if option == "-h":
            print(usage)
            return
        if option == "-t":
            show_round_trip()
            return
        function = encode if option == "-e" else decode
    if arguments and arguments[0] != "-":
        with open(arguments[0], "rb") as file:
            function(file, sys.stdout.buffer)
    elif sys.stdin.isatty():
        # Read everything first: from a terminal, a short read is not the end.
        function(io.BytesIO(sys.stdin.buffer.read()), sys.stdout.buffer)
    else:
        function(sys.stdin.buffer, sys.stdout.buffer)


def show_round_trip() -> None:
    """What -t shows: a fixed string, its encodebytes and that decoded again."""
    original = b"Aladdin:open sesame"
    encoded = encodebytes(original)
    decoded = decodebytes(encoded)
    for value in (original, encoded, decoded):
        print(repr(value))
    assert decoded == original


if __name__ == "__main__":
    main()
