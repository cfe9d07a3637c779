"""The command line: ``python -m vantorq encode|decode|hash|info``.

Every command streams its input through a reused buffer or in chunks of
CHUNK_SIZE bytes, so it runs in the same small memory for inputs of any size.
``hash`` writes and checks the lines ``xxhsum`` writes and checks.

Start-up is most of a short command's time, so each command imports only
what it uses: the extension module it calls, ``re`` for ``hash --check``,
and ``argparse`` only for help, errors and the spellings that quick_parse
leaves to it.
"""

import binascii  # built into the interpreter: nothing to load
import io
import os
import stat
import sys

# The names below are for the type checker only (no typing import at run
# time). Interpreters before 3.14 evaluate annotations as they define a
# function, so those that name them are quoted (__future__'s import costs
# as much as this module's).
TYPE_CHECKING = False
if TYPE_CHECKING:
    import argparse
    import re
    import _thread
    from _queue import SimpleQueue
    from collections.abc import Callable, Iterator, Sequence
    from contextlib import AbstractContextManager
    from typing import BinaryIO, Protocol

    class _Progress(Protocol):
        def update(self, n: int, /) -> object: ...

    class _Hasher(Protocol):
        def update(self, data: bytes | bytearray | memoryview, /) -> None: ...
        def digest(self) -> bytes: ...

    # A reader thread's buffers to fill, the chunks it read, and its end.
    _Lane = tuple[SimpleQueue[bytearray | None], SimpleQueue[tuple[bytearray, int] | Exception], _thread.LockType]

CHUNK_SIZE = 1 << 20
# Inputs at least this large show a progress bar when standard error is a
# terminal and tqdm (the `cli` extra) is installed.
PROGRESS_FROM = 64 << 20


class CommandError(Exception):
    """A failure reported as one line on standard error, with exit status 1."""


class NoProgress:
    def update(self, n: int, /) -> None:
        pass

    def __enter__(self) -> "NoProgress":
        return self

    def __exit__(self, *exception: object) -> None:
        pass


def remaining_size(source: io.BufferedIOBase) -> int | None:
    """Bytes left in a regular file; None for pipes and terminals."""
    try:
        status = os.fstat(source.fileno())
        return max(0, status.st_size - source.tell()) if stat.S_ISREG(status.st_mode) else None
    except (OSError, ValueError):
        return None


def progress(source: io.BufferedIOBase, label: str) -> "AbstractContextManager[_Progress]":
    """A progress bar for reading `source` (a context manager)."""
    total = remaining_size(source)
    if total is None or total < PROGRESS_FROM or not sys.stderr.isatty():
        return NoProgress()
    import importlib

    try:
        tqdm = importlib.import_module("tqdm").tqdm
    except ImportError:
        return NoProgress()
    bar: AbstractContextManager[_Progress] = tqdm(total=total, desc=label, unit="B", unit_scale=True,
                                                  unit_divisor=1024, leave=False, file=sys.stderr)
    return bar


def error_text(path: str, error: OSError) -> str:
    return f"{path}: {error.strerror or error}"


class StandardInput:
    """Standard input's binary stream, which leaving `with` keeps open."""

    def __enter__(self) -> io.BufferedIOBase:
        return sys.stdin.buffer  # type: ignore[return-value]  # a buffered reader, typed as any binary file

    def __exit__(self, *exception: object) -> None:
        pass


def opened(path: str) -> "AbstractContextManager[io.BufferedIOBase]":
    """The file at `path`, or standard input for "-" (a context manager)."""
    if path == "-":
        return StandardInput()
    try:
        return open(path, "rb")
    except OSError as error:
        raise CommandError(error_text(path, error)) from None


def chunks(source: io.BufferedIOBase, size: int, bar: "_Progress") -> "Iterator[bytes]":
    # A buffered reader returns `size` bytes on every read but the last, so the
    # encoder sees whole 3-byte groups until the end.
    while block := source.read(size):
        bar.update(len(block))
        yield block


# ----------------------------------------------------------------------------
# encode


LINES_PER_WRITE = 4096


def write_lines(out: "BinaryIO", text: memoryview, width: int, column: int) -> int:
    """Writes `text` in lines of `width` characters, the first of which already
    holds `column`; returns the column where the text ends."""
    head = min(width - column, len(text))
    out.write(text[:head])
    if column + head < width:
        return column + head
    out.write(b"\n")
    rest = text[head:]
    whole = len(rest) - len(rest) % width
    # A few thousand lines per write: joined fast, in little memory even for
    # the narrowest lines.
    for start in range(0, whole, width * LINES_PER_WRITE):
        lines = rest[start : min(start + width * LINES_PER_WRITE, whole)]
        out.write(b"\n".join(lines[i : i + width] for i in range(0, len(lines), width)))
        out.write(b"\n")
    out.write(rest[whole:])
    return len(rest) - whole


def encode(args: "Arguments") -> None:
    import _vantorq

    altchars = b"-_" if args.urlsafe else None
    width: int = args.wrap
    out = sys.stdout.buffer
    with opened(args.file) as source, progress(source, "encode") as bar:
        line_bytes = width * 3 // 4
        if width % 4 == 0 and 0 < line_bytes <= CHUNK_SIZE:
            # Whole lines in every chunk: the encoder breaks them itself.
            for block in chunks(source, CHUNK_SIZE - CHUNK_SIZE % line_bytes, bar):
                out.write(_vantorq.b64encode(block, altchars, wrapcol=width))
                out.write(b"\n")
            return
        column = 0
        for block in chunks(source, CHUNK_SIZE - CHUNK_SIZE % 3, bar):
            text = _vantorq.b64encode(block, altchars)
            if width:
                column = write_lines(out, memoryview(text), width, column)
            else:
                out.write(text)
        if column:
            out.write(b"\n")


# ----------------------------------------------------------------------------
# decode

STANDARD_SYMBOLS = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
URLSAFE_SYMBOLS = STANDARD_SYMBOLS[:62] + b"-_"
LINE_BREAKS = b"\r\n"
PADDING_RUN = b"=" + LINE_BREAKS


def all_bytes_but(kept: bytes) -> bytes:
    return bytes(b for b in range(256) if b not in kept)


class Decoder:
    """Decodes Base64 text given in pieces of any size. Line breaks may stand
    anywhere; a group with padding ends one encoded text and another may
    follow it (encoded files concatenated, as `base64 -d` takes them)."""

    def __init__(self, altchars: bytes | None, out: "BinaryIO") -> None:
        import _vantorq

        self.b64decode = _vantorq.b64decode
        self.altchars = altchars
        self.out = out
        self.pending = b""  # text that the next piece completes

    def decoded(self, text: memoryview, padded: bool) -> bytes:
        try:
            return self.b64decode(text, self.altchars, ignorechars=LINE_BREAKS, padded=padded)
        except binascii.Error as error:
            raise CommandError(f"invalid input: {error}") from None

    def feed(self, piece: bytes, final: bool = False) -> None:
        text = self.pending + piece
        view = memoryview(text)
        start = 0
        while (pad := text.find(b"=", start)) >= 0:
            end = pad + 1
            while end < len(text) and text[end] in PADDING_RUN:
                end += 1
            if end == len(text) and not final and text.count(b"=", pad) < 2:
                break  # the next piece may hold the second '='
            self.out.write(self.decoded(view[start:end], padded=True))
            start = end
        else:
            if final:
                self.out.write(self.decoded(view[start:], padded=True))
                self.pending = b""
                return
            start = self.write_whole_groups(view, start)
        self.pending = text[start:]

    def write_whole_groups(self, view: memoryview, start: int) -> int:
        """Decodes the groups of four symbols from `start` on, none of them
        padded; returns where the symbols of an unfinished group begin."""
        # Decoding without padding gives the whole groups and 1 or 2 bytes of
        # an unfinished group of 3 or 4 symbols: those symbols wait for the
        # next piece. One symbol past the whole groups is an error.
        try:
            data = self.b64decode(view[start:], self.altchars, ignorechars=LINE_BREAKS, padded=False)
            left_over = (0, 2, 3)[len(data) % 3]
        except binascii.Error:
            data = None
            left_over = 1
        cut = len(view)
        for _ in range(left_over):
            cut -= 1
            while view[cut] in LINE_BREAKS:
                cut -= 1
        if data is None:
            data = self.decoded(view[start:cut], padded=False)
        self.out.write(memoryview(data)[: len(data) - len(data) % 3])
        return cut


def decode(args: "Arguments") -> None:
    symbols = URLSAFE_SYMBOLS if args.urlsafe else STANDARD_SYMBOLS
    garbage = all_bytes_but(symbols + b"=") if args.ignore_garbage else None
    decoder = Decoder(b"-_" if args.urlsafe else None, sys.stdout.buffer)
    with opened(args.file) as source, progress(source, "decode") as bar:
        for block in chunks(source, CHUNK_SIZE, bar):
            decoder.feed(block if garbage is None else block.translate(None, garbage))
    decoder.feed(b"", final=True)


# ----------------------------------------------------------------------------
# hash

# Reads of this size go from the page cache straight into the hash's buffer
# (a buffered reader copies reads no larger than its own buffer, 128 KiB
# from 3.14, through that buffer first), and the bytes copied stay in the
# second-level cache for the hash to read. A 1 GiB cached file, Xeon with
# AVX-512, median of 25: XXH3 271 ms of processor time, 279 with 1 MiB reads,
# 316 with 128 KiB.
READ_SIZE = 256 << 10
# Copying out of the page cache, not hashing, is most of the time of a large
# cached file, and the copies of one file run in parallel: reader threads
# (one a core, up to MAX_READERS) read its chunks, reader r chunks r,
# r + readers, ..., while this thread hashes them in order. Below two chunks,
# starting threads costs more than it saves. A 1 GiB cached file, AMD EPYC
# Zen 4, 2 cores, median of 9 runs of the command, xxhsum's time / ours:
# XXH3 0.88 read in this thread, 1.11 with two readers of 2 MiB chunks (1 MiB
# chunks: 0.94, three readers: 1.12); XXH64 1.01, 1.16.
PARALLEL_READ_SIZE = 2 << 20
MAX_READERS = 4


def hasher_class(name: str) -> "Callable[[], _Hasher]":
    """vantorq._native's streaming hasher of the hash `name`, imported when
    a command first hashes (encode and decode never load the module)."""
    # The one line that names the XXH hasher classes.
    from vantorq._native import xxh3_64, xxh3_128, xxh32, xxh64
    from vantorq._native import murmur3_x64_128, murmur3_x86_32, murmur3_x86_128

    classes: dict[str, Callable[[], _Hasher]] = {
        "xxh32": xxh32, "xxh64": xxh64, "xxh3_64": xxh3_64, "xxh3_128": xxh3_128,
        "murmur3_32": murmur3_x86_32, "murmur3_x86_128": murmur3_x86_128, "murmur3_x64_128": murmur3_x64_128,
    }
    return classes[name]


class Algorithm:
    """A hash of the command: how to compute it and how its lines show it."""

    def __init__(self, name: str, tag: str, value: "Callable[[_Hasher], bytes]", size: int,
                 always_tagged: bool = False) -> None:
        self.name = name
        self.tag = tag  # its name in BSD-style lines
        self.value = value  # the hash, most significant byte first
        self.size = size  # bytes of a hash
        self.always_tagged = always_tagged  # xxhsum writes XXH3-64 lines in BSD style only

    def hasher(self) -> "_Hasher":
        return hasher_class(self.name)()


def big_endian_digest(state: "_Hasher") -> bytes:
    return state.digest()


def reversed_digest(state: "_Hasher") -> bytes:
    return state.digest()[::-1]


# The XXH hashes print as xxhsum prints them; the MurmurHash3 ones as the
# one-shot functions give them: murmur3_32 as its int, the others as their
# digest bytes.
ALGORITHMS = {
    algorithm.name: algorithm
    for algorithm in (
        Algorithm("xxh32", "XXH32", big_endian_digest, 4),
        Algorithm("xxh64", "XXH64", big_endian_digest, 8),
        Algorithm("xxh3_64", "XXH3", big_endian_digest, 8, always_tagged=True),
        Algorithm("xxh3_128", "XXH128", big_endian_digest, 16),
        Algorithm("murmur3_32", "MURMUR3_32", reversed_digest, 4),
        Algorithm("murmur3_x86_128", "MURMUR3_X86_128", big_endian_digest, 16),
        Algorithm("murmur3_x64_128", "MURMUR3_X64_128", big_endian_digest, 16),
    )
}
BY_TAG = {algorithm.tag: name for name, algorithm in ALGORITHMS.items()}
# What xxhsum -c takes a line without a tag for, by its number of digits.
UNTAGGED_BY_DIGITS = {8: "xxh32", 16: "xxh64", 32: "xxh3_128"}
STDIN_NAME = "stdin"  # standard input's name in lines and messages, as xxhsum names it


def hash_source(source: io.BufferedIOBase, algorithm: Algorithm, bar: "_Progress") -> bytes:
    state = algorithm.hasher()
    # Large reads into one reused buffer: no allocation per read, and whole
    # reads are hashed in place.
    buffer = bytearray(READ_SIZE)
    view = memoryview(buffer)
    while count := source.readinto(buffer):
        state.update(buffer if count == READ_SIZE else view[:count])
        bar.update(count)
    return algorithm.value(state)


def read_chunks(fd: int, first: int, readers: int, free: "SimpleQueue[bytearray | None]",
                filled: "SimpleQueue[tuple[bytearray, int] | Exception]", running: "_thread.LockType") -> None:
    """A reader thread: reads chunks first, first + readers, ... of the file
    at `fd` into the buffers it takes from `free` and puts each in `filled`
    with its length, until a short chunk (the file's end), an error (put in
    `filled` too) or a None from `free`; releases `running` as it ends."""
    offset = first * PARALLEL_READ_SIZE
    try:
        while (buffer := free.get()) is not None:
            view = memoryview(buffer)
            count = 0
            while count < PARALLEL_READ_SIZE and (read := os.preadv(fd, [view[count:]], offset + count)):
                count += read
            filled.put((buffer, count))
            if count < PARALLEL_READ_SIZE:
                return
            offset += readers * PARALLEL_READ_SIZE
    except Exception as error:
        filled.put(error)
    finally:
        running.release()


def hash_in_parallel(fd: int, algorithm: Algorithm, readers: int, bar: "_Progress") -> bytes:
    """The hash of the file at `fd`, from its start, read by `readers` threads."""
    import _thread
    from _queue import SimpleQueue  # the C queue: threading's and queue's imports cost more than they save

    state = algorithm.hasher()
    lanes: list[_Lane] = []
    try:
        for first in range(readers):
            lane: _Lane = (SimpleQueue(), SimpleQueue(), _thread.allocate_lock())
            free, filled, running = lane
            for _ in range(2):  # one to hash while the other is read
                free.put(bytearray(PARALLEL_READ_SIZE))
            running.acquire()
            _thread.start_new_thread(read_chunks, (fd, first, readers, *lane))
            lanes.append(lane)
        while True:
            for free, filled, _ in lanes:
                chunk = filled.get()
                if isinstance(chunk, Exception):
                    raise chunk
                buffer, count = chunk
                state.update(buffer if count == PARALLEL_READ_SIZE else memoryview(buffer)[:count])
                bar.update(count)
                if count < PARALLEL_READ_SIZE:
                    return algorithm.value(state)
                free.put(buffer)
    finally:
        # The file closes when this returns: every reader has ended by then.
        for free, _, _ in lanes:
            free.put(None)
        for _, _, running in lanes:
            running.acquire()


def parallel_readers(source: io.BufferedIOBase) -> int:
    """Reader threads for hashing `source`: 0 (read it in this thread) for
    anything but a regular file of at least two chunks, or on one core."""
    status = os.fstat(source.fileno())
    if not stat.S_ISREG(status.st_mode) or status.st_size < 2 * PARALLEL_READ_SIZE:
        return 0
    cores = len(os.sched_getaffinity(0)) if hasattr(os, "sched_getaffinity") else os.cpu_count() or 1
    return min(cores, MAX_READERS) if cores > 1 and hasattr(os, "preadv") else 0


def hash_path(path: str, algorithm: Algorithm) -> bytes:
    with opened(path) as source, progress(source, path) as bar:
        try:
            readers = 0 if path == "-" else parallel_readers(source)
            if readers:
                return hash_in_parallel(source.fileno(), algorithm, readers, bar)
            return hash_source(source, algorithm, bar)
        except OSError as error:
            raise CommandError(error_text(path, error)) from None


def hash_line(algorithm: Algorithm, name: bytes, value: bytes, tagged: bool, little_endian: bool) -> bytes:
    digits = (value[::-1] if little_endian else value).hex().encode()
    if tagged or algorithm.always_tagged:
        return b"%s%s (%s) = %s\n" % (algorithm.tag.encode(), b"_LE" * little_endian, name, digits)
    return digits + b"  " + name + b"\n"


def display_name(path: str) -> bytes:
    return STDIN_NAME.encode() if path == "-" else os.fsencode(path)


def hash_files(args: "Arguments") -> int:
    paths: list[str] = args.files or ["-"]
    if args.check:
        return check(paths, args)
    algorithm = ALGORITHMS[args.algo or "xxh3_64"]
    status = 0
    for path in paths:
        try:
            value = hash_path(path, algorithm)
        except CommandError as error:
            report(str(error))
            status = 1
            continue
        sys.stdout.buffer.write(hash_line(algorithm, display_name(path), value, args.tag, args.little_endian))
    return status


# ----------------------------------------------------------------------------
# hash --check

# The lines --check reads, tagged and untagged: compiled by the first check
# (re's import would be a large share of every other command's start-up).
LINE_PATTERNS: "tuple[re.Pattern[bytes], re.Pattern[bytes]] | None" = None


def line_patterns() -> "tuple[re.Pattern[bytes], re.Pattern[bytes]]":
    global LINE_PATTERNS
    if LINE_PATTERNS is None:
        import re

        tagged = re.compile(rb"([A-Z0-9_]+?)(_LE)? \((.*)\) = ([0-9a-fA-F]+)")
        LINE_PATTERNS = tagged, re.compile(rb"([0-9a-fA-F]+) [ *](.+)")
    return LINE_PATTERNS


def parse_entry(line: bytes, algo: str | None) -> tuple[str, bytes, bytes] | None:
    """The line's algorithm, file name and hash (most significant byte first),
    or None when it is not a line `hash` writes. A line without a tag is for
    `algo`, or as xxhsum reads it, by its length."""
    tagged_line, untagged_line = line_patterns()
    if tagged := tagged_line.fullmatch(line):
        tag, little_endian, name, digits = tagged.groups()
        line_algo = BY_TAG.get(tag.decode())
    elif untagged := untagged_line.fullmatch(line):
        digits, name = untagged.groups()
        line_algo, little_endian = algo or UNTAGGED_BY_DIGITS.get(len(digits)), None
    else:
        return None
    if line_algo is None or len(digits) != 2 * ALGORITHMS[line_algo].size:
        return None
    value = bytes.fromhex(digits.decode())
    return line_algo, name, value[::-1] if little_endian else value


def check_list(listing: io.BufferedIOBase, list_name: str, args: "Arguments") -> bool:
    """Verifies the files of one list, reports them as `xxhsum -c` does; True
    when all were verified and the list holds at least one entry."""
    out = sys.stdout.buffer
    malformed = other_algorithm = unreadable = failed = verified = 0

    def say(message: bytes) -> None:
        if not args.status:
            out.write(message + b"\n")

    for number, line in enumerate(listing, 1):
        entry = parse_entry(line.rstrip(b"\r\n"), args.algo)
        if entry is None:
            malformed += 1
            if args.warn:
                report(f"{list_name}:{number}: Error: Improperly formatted checksum line.")
            continue
        algo, name, value = entry
        where = b"%s:%d: " % (list_name.encode(), number)
        if args.algo and algo != args.algo:
            other_algorithm += 1
            say(where + b"'%s' is listed with %s, not %s." % (name, algo.encode(), args.algo.encode()))
            continue
        path = os.fsdecode(name)
        try:
            matches = hash_path(path, ALGORITHMS[algo]) == value
        except CommandError as error:
            unreadable += 1
            reason = str(error).removeprefix(path + ": ")
            say(where + b"Could not open or read '%s': %s." % (name, reason.encode()))
            continue
        verified += 1
        failed += not matches
        if not matches or not args.quiet:
            say(name + (b": OK" if matches else b": FAILED"))
    if verified + unreadable + other_algorithm == 0:
        report(f"{list_name}: no properly formatted checksum lines found")
        return False
    for count, one, many in (
        (malformed, "line is improperly formatted", "lines are improperly formatted"),
        (other_algorithm, "line is for another algorithm", "lines are for another algorithm"),
        (unreadable, "listed file could not be read", "listed files could not be read"),
        (failed, "computed checksum did NOT match", "computed checksums did NOT match"),
    ):
        if count:
            say(f"{count} {one if count == 1 else many}".encode())
    return not (failed or unreadable or other_algorithm or (args.strict and malformed))


def check(lists: "Sequence[str]", args: "Arguments") -> int:
    status = 0
    for path in lists:
        try:
            with opened(path) as listing:
                verified = check_list(listing, STDIN_NAME if path == "-" else path, args)
        except CommandError as error:
            report(str(error))
            verified = False
        status |= not verified
    return status


# ----------------------------------------------------------------------------


def report(message: str) -> None:
    sys.stdout.flush()  # keeps the order of the two streams when both go to one place
    sys.stderr.write(f"vantorq: {message}\n")


def info(args: "Arguments") -> None:
    """The processor and the kernels each family chose for it."""
    from vantorq._native import cpu_info

    described = cpu_info()
    if args.json:
        import json

        print(json.dumps(described, indent=2))
        return
    name = described["name"] or "unnamed processor"
    print(f"processor   {name} ({described['vendor']}, family {described['family']:#x} model {described['model']:#x})")
    print(f"features    {' '.join(described['features']) or 'none beyond x86-64'}")
    cache = described["data_cache_bytes"]
    print(f"data cache  {f'{cache >> 10} KiB' if cache else 'unknown'}")
    for family, choices in described["kernels"].items():
        print(f"{family:<11} {', '.join(f'{role} {kernel}' for role, kernel in choices.items())}")


# ----------------------------------------------------------------------------
# arguments


class Arguments:
    """A parsed command line: `run`, the command's function, and each of its
    arguments by name, as argparse sets them on a namespace (declared here,
    not set: argparse sets the defaults of the names it finds missing)."""

    run: "Callable[[Arguments], int | None]"
    file: str  # encode, decode
    urlsafe: bool
    wrap: int
    ignore_garbage: bool
    files: list[str]  # hash
    algo: str | None
    tag: bool
    little_endian: bool
    check: bool
    quiet: bool
    status: bool
    strict: bool
    warn: bool
    json: bool  # info


def line_width(text: str) -> int:
    value = int(text)
    if value < 0:
        import argparse

        raise argparse.ArgumentTypeError("must be 0 or more")
    return value


class Option:
    """An option of a command: a flag (True when given) unless it reads a
    value, through `read`, among `choices` when given."""

    def __init__(self, flags: "tuple[str, ...]", help: str, read: "Callable[[str], object] | None" = None,
                 default: object = None, choices: "Sequence[str] | None" = None, metavar: str | None = None) -> None:
        self.flags = flags
        self.dest = flags[-1].removeprefix("--").replace("-", "_")  # as argparse names it: the long flag's
        self.help = help
        self.read = read
        self.default = False if read is None else default
        self.choices = choices
        self.metavar = metavar


class Command:
    """A command: its function, its help, its options, and the FILE it takes
    (its name and count: "?" for one or none, "*" for any number), if any."""

    def __init__(self, run: "Callable[[Arguments], int | None]", help: str, options: "Sequence[Option]",
                 files: tuple[str, str] | None = None) -> None:
        self.run = run
        self.help = help
        self.options = options
        self.by_flag = {flag: option for option in options for flag in option.flags}
        self.files = files


URLSAFE = Option(("-u", "--urlsafe"), "use '-' and '_' for '+' and '/'")
# Each command's arguments: the one place that declares them, to argparse
# and to quick_parse.
COMMANDS = {
    "encode": Command(
        encode, "encode FILE (or standard input) as Base64 to standard output", [
            URLSAFE,
            Option(("-w", "--wrap"), "break lines after N characters (default 76); 0 for one line with no line feed",
                   read=line_width, default=76, metavar="N"),
        ], files=("file", "?"),
    ),
    "decode": Command(
        decode, "decode Base64 from FILE (or standard input) to standard output", [
            URLSAFE,
            Option(("-i", "--ignore-garbage"),
                   "discard bytes outside the alphabet (else only line breaks are allowed)"),
        ], files=("file", "?"),
    ),
    "hash": Command(
        hash_files, "print the hash of each FILE (or standard input) as xxhsum does", [
            Option(("-a", "--algo"),
                   "the hash (default xxh3_64; with --check, the one each line names, or for a line without a "
                   "name xxh32, xxh64 or xxh3_128 by its length, as xxhsum -c reads it)",
                   read=str, choices=list(ALGORITHMS)),
            Option(("--tag",), "write BSD-style lines: 'XXH64 (FILE) = HASH'"),
            Option(("--little-endian",), "write hashes least significant byte first"),
            Option(("-c", "--check"),
                   "read the lines hash writes (either style) from the FILEs and verify each listed file"),
            Option(("-q", "--quiet"), "with --check: print nothing for verified files"),
            Option(("--status",), "with --check: print nothing, the status tells"),
            Option(("--strict",), "with --check: fail on improperly formatted lines"),
            Option(("--warn",), "with --check: name each improperly formatted line"),
        ], files=("files", "*"),
    ),
    "info": Command(info, "describe this processor and the kernels chosen for it", [
        Option(("--json",), "print it as one JSON object"),
    ]),
}


def quick_parse(argv: "Sequence[str]") -> Arguments | None:
    """What argparse makes of a plain command line, without importing it
    (a large share of a short command's start-up): a command, its options by
    their exact names, each value in the next word or after '=', its files in
    one run. None for anything else (help, errors,
    abbreviations, grouped short flags, '--'), which argparse then parses."""
    if not argv or argv[0] not in COMMANDS:
        return None
    command = COMMANDS[argv[0]]
    args = Arguments()
    args.run = command.run
    for each in command.options:
        setattr(args, each.dest, each.default)
    positional: list[str] = []
    after_positional = False  # an option has come after the run of positional words
    words = iter(argv[1:])
    for word in words:
        if word == "-" or not word.startswith("-"):
            if after_positional:
                return None
            positional.append(word)
            continue
        after_positional = bool(positional)
        flag, equals, value = word.partition("=")
        option = command.by_flag.get(flag)
        if option is None:
            return None
        if option.read is None:
            if equals:
                return None
            setattr(args, option.dest, True)
            continue
        if not equals:
            value = next(words, "-")  # no word left: argparse's error
        if value.startswith("-"):  # another option, or a value that argparse reads by its own rules
            return None
        try:
            read = option.read(value)
        except Exception:  # argparse's error, with its message
            return None
        if option.choices is not None and read not in option.choices:
            return None
        setattr(args, option.dest, read)
    if command.files is None:
        return None if positional else args
    dest, count = command.files
    if count == "?":
        if len(positional) > 1:
            return None
        setattr(args, dest, positional[0] if positional else "-")
    else:
        setattr(args, dest, positional)
    return args


def terminal_width() -> int:
    """shutil.get_terminal_size()'s columns, without importing shutil."""
    try:
        columns = int(os.environ.get("COLUMNS", "0"))
    except ValueError:
        columns = 0
    if columns > 0:
        return columns
    try:
        return os.get_terminal_size(sys.__stdout__.fileno()).columns or 80  # type: ignore[union-attr]
    except (AttributeError, ValueError, OSError):
        return 80


def help_formatter(prog: str) -> "argparse.HelpFormatter":
    """argparse's formatter, told the width: it would import shutil for it,
    and shutil the compression modules (the parsers make formatters while
    they are built)."""
    import argparse

    return argparse.HelpFormatter(prog, width=terminal_width() - 2)


def parser() -> "argparse.ArgumentParser":
    import argparse

    top = argparse.ArgumentParser(
        prog="vantorq", description="Base64 encoding and decoding, and XXH and MurmurHash3 hashes of files.",
        formatter_class=help_formatter,
    )
    commands = top.add_subparsers(required=True, metavar="COMMAND")
    for name, command in COMMANDS.items():
        sub = commands.add_parser(name, formatter_class=help_formatter, help=command.help)
        if command.files is not None:
            dest, count = command.files
            sub.add_argument(dest, nargs=count, default="-" if count == "?" else None, metavar="FILE")
        for option in command.options:
            if option.read is None:
                sub.add_argument(*option.flags, action="store_true", help=option.help)
            else:
                sub.add_argument(*option.flags, type=option.read, default=option.default, choices=option.choices,
                                 metavar=option.metavar, help=option.help)
        sub.set_defaults(run=command.run)
    return top


def main(argv: "Sequence[str] | None" = None) -> int:
    words = sys.argv[1:] if argv is None else list(argv)
    args = quick_parse(words) or parser().parse_args(words, namespace=Arguments())
    try:
        status: int | None = args.run(args)
        sys.stdout.flush()
        return status or 0
    except CommandError as error:
        report(str(error))
    except BrokenPipeError:
        # The reader went away (`| head`): stop quietly, as shell tools do,
        # and keep the interpreter's final flush from failing again.
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
    except OSError as error:
        report(error.strerror or str(error))
    except KeyboardInterrupt:
        return 130
    return 1
