"""Threads encode, decode and hash shared bytearrays while others rewrite and
resize them, share hasher objects, and write into destinations that others
resize. Every result must be the result for one of the states the input had,
and every exception one that the function's docstring names. Each scenario is
bounded in time (VANTORQ_STRESS_SECONDS, default 2)."""

import binascii
import builtins
import concurrent.interpreters as interpreters
import os
import re
import sys
import threading
import time

import pytest

import _vantorq as v
import vantorq._native as native

SECONDS = float(os.environ.get("VANTORQ_STRESS_SECONDS", "2"))
WORKERS = 3
pytestmark = pytest.mark.filterwarnings("ignore::FutureWarning")  # URL-safe decoding of "+" and "/"

# Two states of every shared input; the first is long enough that work on it
# would be done detached, were it immutable.
STATES = [bytes(range(256)) * 1200, b"\x5a" * 70001]
TEXT_STATES = [binascii.b2a_base64(state, newline=False) for state in STATES]


def documented_exceptions(function):
    """The exception classes named in the "Raises:" section of a docstring."""
    section = re.search(r"^Raises:\n((?:    .*\n|\n)*)", (function.__doc__ or "") + "\n", re.M)
    names = re.findall(r"^    ([\w.]+):", section.group(1), re.M) if section else []
    return tuple(binascii.Error if name == "binascii.Error" else getattr(builtins, name) for name in names)


@pytest.fixture(autouse=True)
def frequent_switches():
    """Threads of the interpreter that has a global lock take turns far more often."""
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1e-6)
    yield
    sys.setswitchinterval(interval)


def run_for_a_while(workers, mutators):
    """Runs every callable repeatedly in its own thread for SECONDS; returns
    the number of worker calls. The first failure in any thread is raised."""
    deadline = time.monotonic() + SECONDS
    failures, counts = [], []

    def loop(work, count):
        done = 0
        try:
            while time.monotonic() < deadline and not failures:
                work()
                done += 1
        except BaseException as failure:  # noqa: BLE001 - reported to the test below
            failures.append(failure)
        if count:
            counts.append(done)

    threads = [threading.Thread(target=loop, args=(work, True)) for work in workers]
    threads += [threading.Thread(target=loop, args=(work, False)) for work in mutators]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(SECONDS + 60)
    assert not any(thread.is_alive() for thread in threads), "a thread hangs"
    if failures:
        raise failures[0]
    return sum(counts)


def alternate(shared, states):
    """A mutator: rewrites and resizes `shared` through the given states."""
    position = [0]

    def step():
        position[0] += 1
        shared[:] = states[position[0] % len(states)]

    return step


def checked(function, call, accept, record):
    """A worker: one `call`, whose result `accept` must take, or whose exception
    the docstring of `function` must name."""
    allowed = documented_exceptions(function)

    def work():
        try:
            result = call()
        except allowed as error:
            record.append(type(error).__name__)
            return
        assert accept(result), (function.__name__, result)

    return work


DECODERS = [v.b64decode, v.standard_b64decode, v.urlsafe_b64decode, v.b64decode_batch, v.urlsafe_b64decode_batch,
            native.decodebytes, native.pybase64_b64decode]
LISTS = [v.xxh3_64_batch, v.xxh3_128_batch, v.b64encode_batch, v.b64decode_batch, v.urlsafe_b64decode_batch,
         native.xxh64_batch]
SINGLE = [v.xxh3_64, v.xxh3_128, v.murmur3_32, v.murmur3_x86_128_digest, v.murmur3_x64_128_digest,
          v.b64encode, v.standard_b64encode, v.urlsafe_b64encode, v.b64decode, v.standard_b64decode,
          v.urlsafe_b64decode, native.xxh64_intdigest, native.encodebytes, native.decodebytes, native.pybase64_b64encode,
          native.pybase64_b64decode]


def results_for(function, shared):
    """The call's results as a tuple; a list function gets the input twice, and
    each item is read on its own, so the two may come from different states."""
    return tuple(function([shared, shared])) if function in LISTS else (function(shared),)


def param_id(function):
    # vantorq.pybase64's functions carry the names of the standard ones.
    return ("pybase64_" if function.__module__ == "vantorq.pybase64" else "") + function.__name__


@pytest.mark.parametrize("function", SINGLE + LISTS, ids=param_id)
def test_shared_bytearrays_rewritten_and_resized(function, stress_record):
    states = TEXT_STATES if function in DECODERS else STATES
    shared = bytearray(states[0])
    expected = {result for state in states for result in results_for(function, state)}
    errors = []
    work = checked(function, lambda: results_for(function, shared), lambda results: set(results) <= expected, errors)
    calls = run_for_a_while([work] * WORKERS, [alternate(shared, states)])
    stress_record(function.__name__, calls, errors)


# Function -> (input states, call with the shared input and destination, the count written for a state).
INTO = {
    v.b64encode_into: (STATES, v.b64encode_into, lambda state: len(v.b64encode(state))),
    v.standard_b64encode_into: (STATES, v.standard_b64encode_into, lambda state: len(v.b64encode(state))),
    v.b64decode_into: (TEXT_STATES, v.b64decode_into, lambda state: len(v.b64decode(state))),
    v.urlsafe_b64decode_into: (TEXT_STATES, v.urlsafe_b64decode_into, lambda state: len(v.b64decode(state))),
    v.b64encode_batch_into: (STATES, lambda shared, output: v.b64encode_batch_into([shared], [output])[0],
                             lambda state: len(v.b64encode(state))),
    v.b64decode_batch_into: (TEXT_STATES, lambda shared, output: v.b64decode_batch_into([shared], [output])[0],
                             lambda state: len(v.b64decode(state))),
    v.xxh3_64_batch_into: (STATES, lambda shared, output: v.xxh3_64_batch_into([shared, shared], output),
                           lambda state: 16),
    v.xxh3_128_batch_into: (STATES, lambda shared, output: v.xxh3_128_batch_into([shared, shared], output),
                            lambda state: 32),
}


@pytest.mark.parametrize("function", INTO, ids=lambda function: function.__name__)
def test_destinations_resized_while_inputs_change(function, stress_record):
    states, call, written = INTO[function]
    sizes = sorted({written(state) for state in states})
    shared = bytearray(states[0])
    destination = bytearray(sizes[-1])
    errors = []

    def resize():  # through every size: no result fits, only the smallest, all
        destination[3:] = b""
        for size in sizes:
            destination.extend(bytes(size - len(destination)))

    work = checked(function, lambda: call(shared, destination), set(sizes).__contains__, errors)
    calls = run_for_a_while([work] * WORKERS, [alternate(shared, states), resize])
    stress_record(function.__name__, calls, errors)


HASHERS = [v.murmur3_x86_32, v.murmur3_x86_128, v.murmur3_x64_128, native.murmur3_x64_128, native.xxh32,
           native.xxh3_64]


@pytest.mark.parametrize("cls", HASHERS, ids=lambda cls: cls.__name__)
def test_shared_hashers(cls, stress_record):
    # Equal chunks, so that the state only depends on how many updates succeeded.
    chunks = [STATES[0][:70001], bytearray(STATES[0][:70001]), memoryview(STATES[0][:70001])]
    reference, digests = cls(), [cls().digest()]
    hasher = cls()
    updated, errors, seen = [], [], []
    update_errors = documented_exceptions(cls.update)
    read_errors = documented_exceptions(cls.digest)

    def update():
        try:
            hasher.update(chunks[len(updated) % len(chunks)])
        except update_errors as error:
            errors.append(type(error).__name__)
            return
        updated.append(True)

    def read():
        try:
            seen.append(hasher.digest())
            seen.append(hasher.copy().digest())
        except read_errors as error:
            errors.append(type(error).__name__)

    calls = run_for_a_while([update, update, read], [])
    for _ in updated:
        reference.update(chunks[0])
        digests.append(reference.digest())
    assert hasher.digest() == digests[-1]
    assert set(seen) <= set(digests)
    stress_record(cls.__name__, calls, errors)


# Each worker thread runs its own interpreter (with its own GIL) through the
# same calls at once; the main interpreter keeps a thread doing them too.
CALLS_OF_EVERY_FAMILY = ("(v.b64decode(v.b64encode(data)), v.xxh3_64(data), v.xxh3_128_batch([data, data[1:]]),"
                         " v.murmur3_x64_128(data).digest(), v.b64encode(data, wrapcol=76))")


def test_interpreters_in_parallel(stress_record):
    data = STATES[0][:300_000]
    here = {"v": v, "data": data}
    expected = repr(eval(CALLS_OF_EVERY_FAMILY, here))
    states = []
    for _ in range(WORKERS - 1):
        interpreter, queue = interpreters.create(), interpreters.create_queue()
        interpreter.prepare_main(queue=queue, data=data, expected=expected)
        states.append((interpreter, queue))

    def in_interpreter(interpreter, queue):
        def work():
            interpreter.exec(f"import _vantorq as v\nqueue.put(repr({CALLS_OF_EVERY_FAMILY}) == expected)")
            assert queue.get() is True

        return work

    def in_main():
        assert repr(eval(CALLS_OF_EVERY_FAMILY, here)) == expected

    try:
        calls = run_for_a_while([in_interpreter(*state) for state in states] + [in_main], [])
    finally:
        for interpreter, _ in states:
            interpreter.close()
    stress_record("interpreters in parallel", calls, [])
