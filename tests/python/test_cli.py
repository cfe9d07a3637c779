"""python -m vantorq against the interpreter's own `python -m base64`, GNU
basenc, and the module's one-shot hash functions."""

import io
import random
import shutil
import subprocess
import sys

import pytest

import _vantorq
from vantorq import cli

RNG = random.Random(14)
DATA = RNG.randbytes(5000)
SMALL_CHUNK = 300  # many chunks per input, with groups and lines across their ends


def run(*args, stdin=None):
    return subprocess.run([sys.executable, "-m", "vantorq", *args], input=stdin, capture_output=True)


def main(capsysbinary, *args):
    """Runs the command line in this process: (status, output, error lines)."""
    status = cli.main([str(arg) for arg in args])
    out, err = capsysbinary.readouterr()
    return status, out, err.decode().splitlines()


@pytest.fixture
def small_chunks(monkeypatch):
    monkeypatch.setattr(cli, "CHUNK_SIZE", SMALL_CHUNK)
    monkeypatch.setattr(cli, "LINES_PER_WRITE", 7)


@pytest.mark.parametrize("size", [0, 1, 3001, 50 << 20])
def test_encode_and_decode_round_trip_as_the_interpreters_command(tmp_path, size):
    path = tmp_path / "data"
    path.write_bytes(RNG.randbytes(size))
    expected = subprocess.run([sys.executable, "-m", "base64", path], capture_output=True, check=True).stdout
    encoded = run("encode", path)
    assert (encoded.returncode, encoded.stderr) == (0, b"")
    assert encoded.stdout == expected
    decoded = run("decode", stdin=encoded.stdout)
    assert (decoded.returncode, decoded.stderr) == (0, b"")
    assert decoded.stdout == path.read_bytes()


@pytest.mark.skipif(shutil.which("basenc") is None, reason="GNU basenc is not installed")
@pytest.mark.parametrize("wrap", [0, 3, 4, 5, 75, 76, 400, 10_000])
@pytest.mark.parametrize("urlsafe", [False, True])
def test_options_match_gnu_basenc(tmp_path, capsysbinary, small_chunks, wrap, urlsafe):
    path = tmp_path / "data"
    path.write_bytes(DATA)
    alphabet = ["--base64url"] if urlsafe else ["--base64"]
    option = ["--urlsafe"] if urlsafe else []
    expected = subprocess.run(["basenc", *alphabet, f"-w{wrap}", path], capture_output=True, check=True).stdout
    assert main(capsysbinary, "encode", *option, "--wrap", wrap, path) == (0, expected, [])
    path.write_bytes(expected)
    assert main(capsysbinary, "decode", *option, path) == (0, DATA, [])
    # Bytes outside the alphabet, with the other alphabet's two symbols among them.
    noise = b" !\x00\xff" + (b"+/" if urlsafe else b"-_")
    noisy = bytes(expected[i // 2] if i % 2 else noise[i % 6] for i in range(2 * len(expected)))
    path.write_bytes(noisy)
    expected = subprocess.run(["basenc", *alphabet, "-d", "-i", path], capture_output=True, check=True).stdout
    assert main(capsysbinary, "decode", *option, "--ignore-garbage", path) == (0, expected, [])


@pytest.mark.parametrize(
    ("options", "text", "expected"),
    [
        ([], b"aGVs\nbG8=\r\n", b"hello"),
        ([], b"aGVs bG8=", None),
        (["-i"], b"aG\x00Vs bG8=!", b"hello"),
        ([], b"YQ==YWJj", None),
        ([], b"YWJjZA", None),
        ([], b"YWJjZA=", None),
        ([], b"YWJjZA===", None),
        ([], b"-_8=", None),
        (["-u"], b"-_8=", b"\xfb\xff"),
        (["-u"], b"+/8=", None),
        (["-u", "-i"], b"-_+/8=", b"\xfb\xff"),
    ],
)
@pytest.mark.parametrize("chunk_size", [1, 3, 1 << 20])
def test_decode_accepts_only_base64(tmp_path, capsysbinary, monkeypatch, options, text, expected, chunk_size):
    monkeypatch.setattr(cli, "CHUNK_SIZE", chunk_size)
    path = tmp_path / "text"
    path.write_bytes(text * 3 if expected is None else text)  # errors in later chunks too
    status, out, err = main(capsysbinary, "decode", *options, path)
    if expected is None:
        assert status == 1 and len(err) == 1 and err[0].startswith("vantorq: invalid input")
    else:
        assert (status, out, err) == (0, expected, [])


ONE_SHOT = {
    "xxh3_64": lambda data: f"{_vantorq.xxh3_64(data):016x}",
    "xxh3_128": lambda data: f"{_vantorq.xxh3_128(data):032x}",
    "murmur3_32": lambda data: f"{_vantorq.murmur3_32(data):08x}",
    "murmur3_x86_128": lambda data: _vantorq.murmur3_x86_128_digest(data).hex(),
    "murmur3_x64_128": lambda data: _vantorq.murmur3_x64_128_digest(data).hex(),
}


@pytest.mark.parametrize("algo", ONE_SHOT)
def test_hash_prints_what_the_one_shot_functions_give(tmp_path, capsysbinary, monkeypatch, small_chunks, algo):
    contents = {"empty": b"", "short": DATA[:SMALL_CHUNK - 1], "long": DATA}
    for name, data in contents.items():
        (tmp_path / name).write_bytes(data)
    monkeypatch.chdir(tmp_path)
    monkeypatch.setattr(sys, "stdin", io.TextIOWrapper(io.BytesIO(DATA[:999])))
    status, out, err = main(capsysbinary, "hash", "--algo", algo, *contents, "-")
    expected = [f"{ONE_SHOT[algo](data)}  {name}" for name, data in [*contents.items(), ("-", DATA[:999])]]
    assert (status, out.decode().splitlines(), err) == (0, expected, [])


@pytest.mark.parametrize("algo", ["xxh3_128", "murmur3_32"])
def test_check_reports_changed_and_unreadable_files(tmp_path, capsysbinary, monkeypatch, algo):
    monkeypatch.chdir(tmp_path)
    for name in ("a", "b", "c"):
        (tmp_path / name).write_bytes(name.encode() * 100)
    status, listing, _ = main(capsysbinary, "hash", "-a", algo, "a", "b", "c")
    (tmp_path / "sums").write_bytes(listing)
    assert main(capsysbinary, "hash", "-a", algo, "--check", "sums") == (0, b"a: OK\nb: OK\nc: OK\n", [])

    (tmp_path / "b").write_bytes(b"changed")
    (tmp_path / "c").unlink()
    (tmp_path / "sums").write_bytes(listing + b"not a line\n")
    status, out, err = main(capsysbinary, "hash", "-a", algo, "--check", "sums")
    assert status == 1
    assert out == b"a: OK\nb: FAILED\nc: FAILED open or read\n"
    assert err == [
        "vantorq: c: No such file or directory",
        "vantorq: WARNING: 1 line(s) improperly formatted",
        "vantorq: WARNING: 1 listed file(s) could not be read",
        "vantorq: WARNING: 1 computed hash(es) did NOT match",
    ]


@pytest.mark.parametrize(
    "args", [["encode", "missing"], ["decode", "."], ["hash", "missing"], ["hash", "--check", "missing"]]
)
def test_unreadable_files_give_one_line_and_status_1(tmp_path, args):
    result = subprocess.run([sys.executable, "-m", "vantorq", *args], cwd=tmp_path, capture_output=True, text=True)
    assert result.returncode == 1
    assert result.stdout == ""
    assert result.stderr in ("vantorq: missing: No such file or directory\n", "vantorq: .: Is a directory\n")


@pytest.mark.parametrize("installed", [True, False])
def test_progress_bar_on_a_terminal_only_with_tqdm(tmp_path, capsysbinary, monkeypatch, installed):
    pytest.importorskip("tqdm")
    if not installed:
        monkeypatch.setitem(sys.modules, "tqdm", None)  # import fails as if absent
    terminal = io.StringIO()
    terminal.isatty = lambda: True
    monkeypatch.setattr(sys, "stderr", terminal)
    monkeypatch.setattr(cli, "PROGRESS_FROM", len(DATA))
    path = tmp_path / "data"
    path.write_bytes(DATA)
    status, out, _ = main(capsysbinary, "encode", path)
    assert (status, out) == (0, _vantorq.b64encode(DATA, wrapcol=76) + b"\n")
    assert ("encode:" in terminal.getvalue()) == installed


# Peak memory of a command, measured from a small parent: a process's peak
# counts the process it was started from, and this test process is large.
MEASURED = """
import resource, subprocess, sys
command = [sys.executable, "-m", "vantorq", *sys.argv[1:]]
status = subprocess.run(command, stdout=subprocess.DEVNULL).returncode
print(status, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss * 1024)
"""


@pytest.mark.parametrize("command", [["encode"], ["decode"], ["hash", "--algo", "murmur3_x64_128"]])
def test_streaming_commands_run_in_bounded_memory(tmp_path, command):
    path = tmp_path / "large"
    size = 200 << 20
    with open(path, "wb") as file:
        if command == ["decode"]:
            line = b"QUJD" * 19 + b"\n"
            file.write(line * (size // len(line)))
        else:
            file.truncate(size)  # sparse: zeros that cost nothing to make
    result = subprocess.run([sys.executable, "-c", MEASURED, *command, path], capture_output=True, text=True)
    status, peak = map(int, result.stdout.split())
    assert status == 0
    assert peak < 64 << 20
