"""Inputs and concurrency checks shared by the hash function tests."""

import array
import sys
import threading
import time

import pytest

# Every way a caller may hand over the same bytes.
INPUT_KINDS = {
    "bytes": lambda d: d,
    "bytearray": bytearray,
    "memoryview": memoryview,
    "memoryview slice": lambda d: memoryview(b"<<" + d + b">>")[2:-2],
    "bytearray view": lambda d: memoryview(bytearray(d)),
    "bytearray view slice": lambda d: memoryview(bytearray(b"<" + d))[1:],
    "non-contiguous": lambda d: memoryview(bytes(b for c in d for b in (c, 0)))[::2],
    "array": lambda d: array.array("B", d),
    "bytes subclass": type("B", (bytes,), {}),
    "char view": lambda d: memoryview(d).cast("c"),
}


def results_from_threads(call, threads=4, rounds=20):
    """Runs `call` `rounds` times in each of `threads` threads at once."""
    results = []

    def work():
        for _ in range(rounds):
            results.append(call())

    workers = [threading.Thread(target=work) for _ in range(threads)]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    return results


def assert_consistent_while_resized(hash_function, base, calls=2000):
    """Hashes a bytearray that another thread keeps growing and shrinking:
    every result must be the hash of one of its two states."""
    buffer = bytearray(base)
    stop = threading.Event()

    def mutate():
        while not stop.is_set():
            buffer.extend(b"x" * 64)
            del buffer[-64:]

    thread = threading.Thread(target=mutate)
    thread.start()
    try:
        states = {hash_function(base), hash_function(base + b"x" * 64)}
        for _ in range(calls):
            assert hash_function(buffer) in states
    finally:
        stop.set()
        thread.join()


def other_thread_ran_during(call, attempts):
    """Whether a busy thread got to run while one of `attempts` calls was
    inside the module (stopping at the first that lets it).

    The switch interval is made far longer than all the calls, so with the
    interpreter lock the busy thread can run during a call only if the call
    detaches. Waking the busy thread takes the scheduler a while, so the
    calls that should detach are given inputs long enough to outlast that."""
    stamps = []
    stop = threading.Event()
    started = threading.Event()

    def busy():
        started.set()
        while not stop.is_set():
            stamps.append(time.perf_counter())

    interval = sys.getswitchinterval()
    sys.setswitchinterval(0.25)
    thread = threading.Thread(target=busy)
    try:
        thread.start()
        started.wait()
        for _ in range(attempts):
            seen = len(stamps)
            begin = time.perf_counter()
            call()
            end = time.perf_counter()
            if any(begin < t < end for t in stamps[seen:]):
                return True
        return False
    finally:
        stop.set()
        thread.join()
        sys.setswitchinterval(interval)


# Interpreters before 3.13 have no free-threaded build, so always the lock.
needs_the_lock = pytest.mark.skipif(
    not getattr(sys, "_is_gil_enabled", lambda: True)(), reason="observable only with the interpreter lock"
)


# Classes can export a buffer from Python code from 3.12 on.
needs_python_buffers = pytest.mark.skipif(sys.version_info < (3, 12), reason="__buffer__ in Python code came with 3.12")


class ClearsTheList:
    """An item whose export empties the list it is in."""

    def __init__(self, data, owner):
        self.data, self.owner = data, owner

    def __buffer__(self, flags):
        self.owner.clear()
        return memoryview(self.data)
