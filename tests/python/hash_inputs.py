"""Inputs and concurrency checks shared by the hash function tests."""

import array
import threading

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
