"""vantorq.base64's file functions and `python -m vantorq.base64` against the
interpreter's own base64 module and `python -m base64`."""

import base64
import io
import random
import subprocess
import sys

import pytest

import vantorq.base64

RNG = random.Random(25)
BLOCK = vantorq.base64.ENCODE_BLOCK


class Trickle(io.BytesIO):
    """A pipe-like reader: at most `most` bytes per read."""

    def __init__(self, data, most):
        super().__init__(data)
        self.most = most

    def read(self, size=-1):
        return super().read(self.most if size < 0 else min(size, self.most))


def test_line_sizes_are_the_standard_modules():
    assert (vantorq.base64.MAXLINESIZE, vantorq.base64.MAXBINSIZE) == (base64.MAXLINESIZE, base64.MAXBINSIZE)


@pytest.mark.parametrize("size", [0, 1, 56, 57, 58, BLOCK - 1, BLOCK, BLOCK + 1, 3 * BLOCK + 5])
@pytest.mark.parametrize("most", [None, 1000])
def test_encode_writes_what_the_standard_encode_writes(size, most):
    data = RNG.randbytes(size)
    expected, ours = io.BytesIO(), io.BytesIO()
    base64.encode(io.BytesIO(data), expected)
    vantorq.base64.encode(io.BytesIO(data) if most is None else Trickle(data, most), ours)
    assert ours.getvalue() == expected.getvalue()


@pytest.mark.parametrize(
    "text",
    [
        b"",
        base64.encodebytes(bytes(range(256)) * 30),
        b"YQ==\nYWJj\n",
        b"YWJj\nYQ==\nYWJj\n",  # padding in a line of the common width
        b"YWJj\n\nYWJj\nYWJj\n",
        b"QQQQ\nQQQ\n\n\n\n\nQ",  # a line short by a symbol, line feeds where the next would end
        b"YWJj\r\nYWJj\r\n",
        b"YW!j\nYWJj\n",
        b"aGVs bG8=\n!YQ==\n",  # bytes outside the alphabet are dropped line by line
        b"YQ=x=\nYWJjZA===\n=YWJj\nYWJj=\nYQ==\r\n",  # padding that a line tolerates
        b"YQ==YWJj\n",
        b"YWJj\nYW\nJj\n",  # a line that is not whole groups: the line before stays written
        b"YWJj\nY\n",
        b"YWJj\nYWJj",  # a last line without its line feed
    ],
)
@pytest.mark.parametrize("block", [5, 64, vantorq.base64.DECODE_BLOCK])
@pytest.mark.parametrize("text_file", [False, True])
def test_decode_writes_and_raises_what_the_standard_decode_does(monkeypatch, text, block, text_file):
    monkeypatch.setattr(vantorq.base64, "DECODE_BLOCK", block)

    def outcome(decode):
        out = io.BytesIO()
        try:
            decode(io.StringIO(text.decode(), newline="") if text_file else io.BytesIO(text), out)
        except Exception as error:  # the exception itself is compared
            return out.getvalue(), type(error), str(error)
        return out.getvalue(), None, None

    assert outcome(vantorq.base64.decode) == outcome(base64.decode)


def command(module, args, stdin):
    result = subprocess.run([sys.executable, "-m", module, *args], input=stdin, capture_output=True)
    # The usage names the module's file; a failed decode ends in a traceback
    # through the module's own lines: its last line is the error.
    out, err = (stream.replace(sys.modules[module].__file__.encode(), b"MODULE") for stream in (result.stdout, result.stderr))
    return result.returncode, out, err.splitlines()[-1:] if result.returncode == 1 else err


@pytest.mark.parametrize(
    ("args", "stdin"),
    [
        ([], b"hello"),
        (["-e", "-"], bytes(range(256)) * 3),
        (["-d"], b"aGVs\nbG8=\n"),
        (["-u", "-"], b"YQ==\nYWJj\n"),
        (["-e", "-d"], b"YQ==\nYWJj\n"),
        (["-d", "-e"], b"hello"),
        (["-d"], b"YQ==\nY\n"),
        (["-h"], b""),
        (["-d", "-h"], b""),
        (["-x"], b""),
        (["FILE"], b""),
        (["-d", "FILE"], b""),
        (["missing"], b""),
    ],
)
def test_module_runs_as_python_m_base64(tmp_path, args, stdin):
    (tmp_path / "file").write_bytes(b"aGVs\nbG8=\n")
    args = [str(tmp_path / "file") if arg == "FILE" else str(tmp_path / arg) if arg == "missing" else arg
            for arg in args]
    assert command("vantorq.base64", args, stdin) == command("base64", args, stdin)
