"""The modules in subinterpreters, each with its own GIL: the same results,
errors and warnings as in the main interpreter, work in parallel with it, and
no object shared between interpreters.

Interpreters with their own GIL arrived in 3.12, reachable only through private
modules until 3.14's concurrent.interpreters: 3.13's _interpreters can also
report an interpreter's configuration, 3.12's _xxsubinterpreters only run code
in one. Both pass text alone, so there the probe's outcome travels through a
file and the tests that hand objects across wait for 3.14."""

import os
import pathlib
import sys
import threading

import pytest

if sys.version_info < (3, 12):
    pytest.skip("subinterpreters with their own GIL arrived in 3.12", allow_module_level=True)

import _vantorq as v
import vantorq._native as native

if sys.version_info >= (3, 14):
    import concurrent.interpreters as interpreters
    from concurrent.futures import InterpreterPoolExecutor
elif sys.version_info >= (3, 13):
    import _interpreters
else:
    import _xxsubinterpreters as _interpreters

each_hasher_class = pytest.mark.parametrize(
    "cls", [v.murmur3_x86_32, native.xxh3_64, native.murmur3_x64_128],
    ids=lambda cls: f"{cls.__module__}.{cls.__name__}",
)
needs_object_passing = pytest.mark.skipif(
    sys.version_info < (3, 14), reason="objects cross interpreters only through 3.14's concurrent.interpreters"
)

# Calls of every family, with the exceptions and warnings they raise: each is
# evaluated to its result's repr, or the exception's type and message, and the
# warnings it gave.
PROBE = f"import sys\nsys.path.insert(0, {str(pathlib.Path(__file__).parent)!r})\n" + r"""
import warnings, pickle, copy
import _vantorq as v
import vantorq.base64, vantorq.xxhash, vantorq.murmur3, vantorq.columns

CALLS = [
    "v.b64encode(b'hello world', altchars=b'-_', wrapcol=8)",
    "v.b64decode(b'aGVsbG8gd29ybGQ=')",
    "v.b64decode(b'aGVs bG8=')",
    "v.b64decode(b'aGVs!bG8=', validate=True)",
    "v.b64decode(b'aGVsbG8')",
    "v.urlsafe_b64decode(b'+/8=')",
    "v.b64decode(b'-_8+', altchars=b'-_')",
    "v.b64encode_batch([b'a', b'bc'])",
    "v.b64decode_batch([b'YQ==', b'!'], validate=True)",
    "v.xxh3_64(b'x' * 1000, seed=5)",
    "v.xxh3_128(b'x', seed=2**64 - 1)",
    "v.xxh3_64(b'x', seed=-1)",
    "v.xxh3_64_batch([b'a', bytearray(b'b')])",
    "v.murmur3_32(b'hello', 7)",
    "v.murmur3_x64_128(b'hel', 3).copy().hexdigest()",
    "vantorq.xxhash.xxh64_intdigest(b'hello')",
    "pickle.loads(pickle.dumps(vantorq.xxhash.xxh3_128(b'hello'))).intdigest()",
    "copy.deepcopy(vantorq.murmur3.murmur3_x86_128(b'hi')).intdigest()",
    "vantorq.base64.encodebytes(b'x' * 100)",
    "vantorq.base64.decodebytes('text')",
]
# The columns come from a ctypes Arrow producer (no Arrow library loads in a
# subinterpreter); 3.12's ctypes does not load in one with its own GIL.
if sys.version_info >= (3, 13):
    from arrow_producer import Producer
    CALLS += [
        "memoryview(vantorq.columns.xxh3_64(Producer([b'hello', None]), seed=3)).tolist()",
        "type(vantorq.columns.b64encode(Producer([b'hi']))) is vantorq.columns.Column",
        "vantorq.columns.b64decode(Producer([b'aGVsbG8=', b'aGVsbG8']))",
    ]


def outcome(call):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        try:
            result = repr(eval(call))
        except Exception as error:
            result = f"{type(error).__name__}: {error}"
    return result, [f"{w.category.__name__}: {w.message}" for w in caught]


OUTCOMES = repr([outcome(call) for call in CALLS])
"""


def probe_here():
    namespace = {}
    exec(PROBE, namespace)
    return namespace["OUTCOMES"]


def run_isolated(code, result_file):
    """Runs code in a fresh interpreter with its own GIL; code writes its
    outcome, as text, to the file RESULT_FILE names. Returns that text."""
    code = f"RESULT_FILE = {str(result_file)!r}\n" + code
    if sys.version_info >= (3, 14):
        interpreter = interpreters.create()
        try:
            interpreter.exec(code)
        finally:
            interpreter.close()
    else:
        interpreter = _interpreters.create()
        try:
            if sys.version_info >= (3, 13):
                assert _interpreters.get_config(interpreter).gil == "own"
                failure = _interpreters.exec(interpreter, code)
                assert failure is None, failure
            else:
                _interpreters.run_string(interpreter, code)
        finally:
            _interpreters.destroy(interpreter)
    return result_file.read_text()


def test_every_family_gives_the_main_interpreters_results_errors_and_warnings(tmp_path):
    expected = probe_here()
    # The probe reaches both paths (the legacy-character warnings come with 3.15).
    assert "Error" in expected and ("Warning" in expected or sys.version_info < (3, 15))
    written = "\nimport pathlib\npathlib.Path(RESULT_FILE).write_text(OUTCOMES)\n"
    assert run_isolated(PROBE + written, tmp_path / "outcomes") == expected


DATA = [os.urandom(n) for n in (0, 7, 100, 5000, 300_000)]


@pytest.mark.skipif(sys.version_info < (3, 14), reason="InterpreterPoolExecutor arrived in 3.14")
def test_a_pool_of_interpreters_works_while_the_main_one_does_the_same():
    jobs = [(function, item) for item in DATA for function in
            (v.b64encode, v.xxh3_64, v.xxh3_128, v.murmur3_32, native.xxh64_intdigest, native.encodebytes)]
    jobs += [(v.b64decode, v.b64encode(item)) for item in DATA]
    expected = [function(item) for function, item in jobs]
    main_results = []

    def main_work():
        for _ in range(20):
            main_results.append([function(item) for function, item in jobs])

    with InterpreterPoolExecutor(4) as pool:
        worker = threading.Thread(target=main_work)
        worker.start()
        futures = [[pool.submit(function, item) for function, item in jobs] for _ in range(5)]
        worker.join()
        pooled = [[future.result() for future in round_] for round_ in futures]
    assert all(results == expected for results in pooled)
    assert all(results == expected for results in main_results)


@each_hasher_class
@needs_object_passing
def test_hashers_do_not_cross_interpreters(cls):
    interpreter = interpreters.create()
    try:
        with pytest.raises(interpreters.NotShareableError):
            interpreter.prepare_main(hasher=cls(b"abc"))
    finally:
        interpreter.close()


@each_hasher_class
def test_each_interpreter_has_its_own_classes(cls, tmp_path):
    code = f"import pathlib, {cls.__module__} as m\npathlib.Path(RESULT_FILE).write_text(str(id(m.{cls.__name__})))\n"
    assert int(run_isolated(code, tmp_path / "id")) != id(cls)
