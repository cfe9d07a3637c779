"""python -m vantorq against the interpreter's own `python -m base64`, GNU
basenc, xxhsum, and the package's one-shot hash functions."""

import contextlib
import io
import itertools
import json
import os
import random
import re
import shutil
import subprocess
import sys

import pytest

import _vantorq
import vantorq
from vantorq import cli, xxhash

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
    monkeypatch.setattr(cli, "READ_SIZE", SMALL_CHUNK)
    monkeypatch.setattr(cli, "PARALLEL_READ_SIZE", SMALL_CHUNK)
    monkeypatch.setattr(cli, "LINES_PER_WRITE", 7)


@pytest.mark.parametrize("size", [0, 1, 3001, 50 << 20])
def test_encode_and_decode_round_trip_as_the_interpreters_command(tmp_path, size):
    path = tmp_path / "data"
    path.write_bytes(RNG.randbytes(size))
    expected = subprocess.run([sys.executable, "-m", "base64", path], capture_output=True, check=True).stdout
    encoded = run("encode", path)
    assert (encoded.returncode, encoded.stderr) == (0, b"")
    assert encoded.stdout == expected
    decoded = run("decode", stdin=encoded.stdout * 2)  # two encoded files, one after the other
    assert (decoded.returncode, decoded.stderr) == (0, b"")
    assert decoded.stdout == path.read_bytes() * 2


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
        ([], b"YQ==YWJj", b"aabc"),
        ([], b"YQ==\nYWI=\r\nYW\nJj\n", b"aababc"),
        ([], b"YWJjZA=\n=\n", b"abcd"),
        ([], b"YQ=x=", None),
        ([], b"=YWJj", None),
        ([], b"YQ===", None),
        ([], b"YWJjZ", None),
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
    "xxh32": lambda data: f"{xxhash.xxh32_intdigest(data):08x}",
    "xxh64": lambda data: f"{xxhash.xxh64_intdigest(data):016x}",
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
    lines = [(ONE_SHOT[algo](data), name) for name, data in [*contents.items(), ("stdin", DATA[:999])]]
    expected = [f"XXH3 ({name}) = {value}" if algo == "xxh3_64" else f"{value}  {name}" for value, name in lines]
    assert (status, out.decode().splitlines(), err) == (0, expected, [])


@pytest.mark.parametrize("readers", [2, 3])
@pytest.mark.parametrize("size", [2 * SMALL_CHUNK, 3 * SMALL_CHUNK - 1, 3 * SMALL_CHUNK + 1, 6 * SMALL_CHUNK])
def test_parallel_readers_hash_the_chunks_in_order(tmp_path, small_chunks, readers, size):
    (tmp_path / "data").write_bytes(DATA[:size])
    with open(tmp_path / "data", "rb") as source:
        value = cli.hash_in_parallel(source.fileno(), cli.ALGORITHMS["xxh3_64"], readers, cli.NoProgress())
    assert value == _vantorq.xxh3_64(DATA[:size]).to_bytes(8, "big")


def test_a_readers_error_ends_the_parallel_hash(tmp_path):
    folder = os.open(tmp_path, os.O_RDONLY)  # reads fail: it is a directory
    try:
        with pytest.raises(IsADirectoryError):
            cli.hash_in_parallel(folder, cli.ALGORITHMS["xxh64"], 2, cli.NoProgress())
    finally:
        os.close(folder)


@pytest.mark.parametrize("style", [[], ["--tag", "--little-endian"]])
@pytest.mark.parametrize("algo", ["xxh3_128", "murmur3_32", "murmur3_x86_128"])
def test_check_reports_changed_and_unreadable_files(tmp_path, capsysbinary, monkeypatch, algo, style):
    monkeypatch.chdir(tmp_path)
    for name in ("a", "b", "c"):
        (tmp_path / name).write_bytes(name.encode() * 100)
    status, listing, _ = main(capsysbinary, "hash", "-a", algo, *style, "a", "b", "c")
    (tmp_path / "sums").write_bytes(listing)
    assert main(capsysbinary, "hash", "-a", algo, "--check", "sums") == (0, b"a: OK\nb: OK\nc: OK\n", [])

    (tmp_path / "b").write_bytes(b"changed")
    (tmp_path / "c").unlink()
    (tmp_path / "sums").write_bytes(listing + b"not a line\n")
    status, out, err = main(capsysbinary, "hash", "-a", algo, "--check", "sums")
    assert status == 1
    assert out.decode().splitlines() == [
        "a: OK",
        "b: FAILED",
        "sums:3: Could not open or read 'c': No such file or directory.",
        "1 line is improperly formatted",
        "1 listed file could not be read",
        "1 computed checksum did NOT match",
    ]
    assert err == []


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


@pytest.mark.parametrize("command", [["encode"], ["decode"], *(["hash", "--algo", algo] for algo in cli.ALGORITHMS)])
def test_commands_run_in_bounded_memory(tmp_path, command):
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


XXHSUM_ALGORITHM = {"xxh32": "-H0", "xxh64": "-H1", "xxh128": "-H2", "xxh3_64": "-H3"}
needs_xxhsum = pytest.mark.skipif(shutil.which("xxhsum") is None, reason="xxhsum (Debian's xxhash) is not installed")


def xxhsum(*args, cwd):
    """xxhsum's status, output and error lines, without the progress line it
    clears on standard error."""
    result = subprocess.run(["xxhsum", *args], cwd=cwd, capture_output=True)
    err = re.sub(rb"\r *\r", b"", result.stderr).decode().splitlines()
    return result.returncode, result.stdout, err


@pytest.fixture
def hashed_files(tmp_path, monkeypatch, small_chunks):
    """Files in the current folder: empty, shorter than a read, several reads
    long, and a name with a space."""
    monkeypatch.chdir(tmp_path)
    contents = {"empty": b"", "short": DATA[:100], "long": DATA, "two words": DATA[:SMALL_CHUNK + 1]}
    for name, data in contents.items():
        (tmp_path / name).write_bytes(data)
    return list(contents)


@needs_xxhsum
@pytest.mark.parametrize("style", [[], ["--tag"], ["--tag", "--little-endian"]])
@pytest.mark.parametrize("algo", ["xxh32", "xxh64", "xxh3_128", "xxh3_64"])
def test_hash_writes_and_checks_the_lines_of_xxhsum(tmp_path, capsysbinary, hashed_files, algo, style):
    option = XXHSUM_ALGORITHM.get(algo, "-H2")
    status, ours, _ = main(capsysbinary, "hash", "--algo", algo, *style, *hashed_files)
    assert (status, ours) == (0, xxhsum(option, *style, *hashed_files, cwd=tmp_path)[1])
    (tmp_path / "sums").write_bytes(ours)
    verified = b"".join(name.encode() + b": OK\n" for name in hashed_files)
    assert xxhsum("-c", "sums", cwd=tmp_path) == (0, verified, [])
    assert main(capsysbinary, "hash", "--check", "sums") == (0, verified, [])

    (tmp_path / "long").write_bytes(DATA[:-1] + b"!")
    expected = verified.replace(b"long: OK", b"long: FAILED") + b"1 computed checksum did NOT match\n"
    assert xxhsum("-c", "sums", cwd=tmp_path) == (1, expected, [])
    assert main(capsysbinary, "hash", "--check", "sums") == (1, expected, [])


CHECK_OPTIONS = [[], ["--quiet"], ["--status"], ["--strict"], ["--warn"], ["--strict", "--quiet"]]


@needs_xxhsum
@pytest.mark.parametrize("options", CHECK_OPTIONS)
@pytest.mark.parametrize("defects", [[], ["changed"], ["malformed"], ["changed", "missing", "malformed"], ["only malformed"]])
def test_check_options_report_as_xxhsum(tmp_path, capsysbinary, hashed_files, options, defects):
    listing = subprocess.run(["xxhsum", "-H1", *hashed_files], capture_output=True, check=True).stdout
    if "changed" in defects:
        (tmp_path / "short").write_bytes(b"changed")
    if "missing" in defects:
        (tmp_path / "empty").unlink()
    if "malformed" in defects:
        listing = listing.replace(b"  long", b"long")
    if "only malformed" in defects:
        listing = b"no hash here\n"
    (tmp_path / "sums").write_bytes(listing)
    status, out, err = xxhsum("-c", *options, "sums", cwd=tmp_path)
    ours = main(capsysbinary, "hash", "--check", *options, "sums")
    assert ours == (status, out, [f"vantorq: {line.replace(' xxHash', '')}" for line in err])


@pytest.mark.parametrize(
    ("line", "messages"),
    [
        (b"XXH64 (data) = %s", ["sums:2: 'data' is listed with xxh64, not xxh3_128.", "1 line is for another algorithm"]),
        (b"%s  data", ["1 line is improperly formatted"]),  # 16 digits: not an xxh3_128 hash
        (b"XXH64 (data) = %s0", ["1 line is improperly formatted"]),
    ],
)
def test_check_with_an_algorithm_names_lines_for_another(tmp_path, capsysbinary, monkeypatch, line, messages):
    monkeypatch.chdir(tmp_path)
    (tmp_path / "data").write_bytes(DATA)
    listing = b"XXH128 (data) = %032x\n" % xxhash.xxh3_128_intdigest(DATA) + line % b"%016x" % xxhash.xxh64_intdigest(DATA) + b"\n"
    (tmp_path / "sums").write_bytes(listing)
    status, out, err = main(capsysbinary, "hash", "--algo", "xxh3_128", "--check", "sums")
    assert (status, out.decode().splitlines(), err) == (len(messages) - 1, ["data: OK", *messages], [])


def read_vendor():
    with open("/proc/cpuinfo") as f:
        vendor_id = next(line.split(":", 1)[1].strip() for line in f if line.startswith("vendor_id"))
    return {"GenuineIntel": "Intel", "AuthenticAMD": "AMD"}.get(vendor_id, "other")


def test_info_reports_this_processor_and_every_familys_kernels(capsysbinary):
    described = vantorq.cpu_info()
    assert described["vendor"] == read_vendor()
    assert set(described["kernels"]) == {"base64", "xxhash", "murmur3"}
    assert all(choices for choices in described["kernels"].values())

    status, out, _ = main(capsysbinary, "info", "--json")
    assert (status, json.loads(out)) == (0, described)
    status, out, _ = main(capsysbinary, "info")
    lines = out.decode().splitlines()
    assert status == 0 and described["vendor"] in lines[0] and " ".join(described["features"]) in lines[1]
    assert {line.split()[0] for line in lines[3:]} == set(described["kernels"])


# ----------------------------------------------------------------------------
# Start-up: the arguments argparse would give, and only the modules a command uses


def argparse_result(parser, argv):
    try:
        with contextlib.redirect_stdout(io.StringIO()), contextlib.redirect_stderr(io.StringIO()):
            return vars(parser.parse_args(argv, namespace=cli.Arguments()))
    except SystemExit:  # help, or an error
        return None


@pytest.mark.parametrize("argv", [
    ["hash", "f"], ["hash"], ["hash", "-a", "xxh64", "--tag", "f", "-"], ["hash", "f", "g", "--algo=murmur3_32"],
    ["hash", "-c", "--strict", "--warn", "-q", "--status", "list"], ["hash", "--little-endian", "-a", "xxh32"],
    ["encode", "-w", "0", "f"], ["encode", "--wrap=64", "-u"], ["decode", "-u", "-i", "-"], ["info", "--json"],
])
def test_plain_command_lines_are_read_without_argparse(argv):
    quick = cli.quick_parse(argv)
    assert quick is not None and vars(quick) == argparse_result(cli.parser(), argv)


# Words and pairs of words of each kind that quick_parse must read as
# argparse does or leave to it: every sequence of up to three of them.
ANY_COMMAND = [("-",), ("f",), ("g",), ("",), ("--",), ("-h",), ("-x",)]
COMMAND_WORDS = {
    "hash": [("-a", "xxh3_128"), ("--algo", "bogus"), ("-a",), ("--algo=xxh64",), ("-axxh64",), ("-a=murmur3_32",),
             ("--tag",), ("--tag=1",), ("--lit",), ("-c",), ("-cq",), ("--warn",)],
    "encode": [("-u",), ("-w", "7"), ("--wrap", "-5"), ("-w", "-0"), ("--wrap=",), ("-w", "x"), ("--wrap=3",)],
    "decode": [("-u",), ("--urlsafe",), ("-i",), ("-iu",)],
    "info": [("--json",), ("--json=1",)],
    "bogus": [],
}


@pytest.mark.parametrize("command", COMMAND_WORDS)
def test_quick_parse_gives_what_argparse_gives_or_leaves_it_to_argparse(command):
    parser = cli.parser()
    units = ANY_COMMAND + COMMAND_WORDS[command]
    for count in range(4):
        for chosen in itertools.product(units, repeat=count):
            argv = [command, *(word for unit in chosen for word in unit)]
            quick = cli.quick_parse(argv)
            assert quick is None or vars(quick) == argparse_result(parser, argv), argv


def imported_modules(*args, cwd):
    """The modules a run imports (-X importtime names each on its first import)."""
    result = subprocess.run([sys.executable, "-X", "importtime", *args], cwd=cwd, capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    return {line.rsplit("|", 1)[1].strip() for line in result.stderr.splitlines() if line.startswith("import time:")}


# The modules that the interpreter's own start-up and -m do not import, but a
# careless command line does (argparse and what it brings, typing, ...).
HEAVY = {"argparse", "re", "contextlib", "collections", "enum", "functools", "gettext", "locale", "shutil", "typing",
         "__future__", "json", "threading"}


@pytest.mark.parametrize(("command", "unused"), [
    (["hash", "data"], {"_vantorq"}),
    (["hash", "--algo", "murmur3_x64_128", "--tag", "data"], {"_vantorq"}),
    (["encode", "-w", "0", "data"], {"vantorq._native"}),
    (["decode", "data"], {"vantorq._native"}),
    (["info"], {"_vantorq"}),
])
def test_commands_import_only_what_they_use(tmp_path, command, unused):
    (tmp_path / "data").write_bytes(b"aGVsbG8=\n")
    (tmp_path / "nothing.py").write_text("")
    baseline = imported_modules("-m", "nothing", cwd=tmp_path)
    imported = imported_modules("-m", "vantorq", *command, cwd=tmp_path)
    assert "vantorq.cli" in imported
    assert not (imported - baseline) & (HEAVY | unused)
