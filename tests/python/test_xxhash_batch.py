"""XXH3 list functions against the xxhash package, item by item."""

import random
import sys
import threading

import pytest
import xxhash
from hypothesis import given, settings
from hypothesis import strategies as st

import _vantorq as v
from hash_inputs import (
    INPUT_KINDS,
    ClearsTheList,
    assert_consistent_while_resized,
    needs_python_buffers,
    needs_the_lock,
)

RNG = random.Random(53)
BLOB = RNG.randbytes(1 << 20)
SEEDS = [0, 1, 2**64 - 1, RNG.randrange(2**64)]

# (list form, packed form, reference, digest bytes)
WIDTHS = {
    "64": (v.xxh3_64_batch, v.xxh3_64_batch_into, xxhash.xxh3_64_intdigest, 8),
    "128": (v.xxh3_128_batch, v.xxh3_128_batch_into, xxhash.xxh3_128_intdigest, 16),
}

# Short items between long ones; runs of 2, 3 and 4 long items with one stripe
# count ((len - 1) // 64), runs broken by a stripe count or a short item, five
# equal items (a run of 4 and one of 1), and block edges.
MIXED_LENGTHS = [0, 3, 16, 17, 240, 300, 310, 320, 330, 241, 256, 400, 500, 510, 520, 5, 700, 710, 129,
                 1024, 1025, 1088, 1089, 2048, 2048, 2048, 2048, 2048, 300, 321, 70_000]


def mixed_items():
    """MIXED_LENGTHS as every input kind in turn, each item from its own offset."""
    kinds = list(INPUT_KINDS.values())
    return [kinds[i % len(kinds)](BLOB[i * 7 : i * 7 + n]) for i, n in enumerate(MIXED_LENGTHS)]


def packed(reference, width, items, seed):
    return b"".join(reference(bytes(x), seed).to_bytes(width, "little") for x in items)


@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize("seed", SEEDS)
def test_mixed_items_match_the_one_shot_hashes(width, seed):
    listed, into, reference, size = WIDTHS[width]
    items = mixed_items()
    expected = [reference(bytes(x), seed) for x in items]
    assert listed(items, seed) == expected
    # The packed form writes only its prefix: the tail and the size stay.
    output = bytearray(b"\xa5" * (len(items) * size + 5))
    assert into(items, output, seed) == len(items) * size
    assert output == packed(reference, size, items, seed) + b"\xa5" * 5
    assert listed(items=items, seed=seed) == expected


# Lengths that often repeat a stripe count, so that runs form.
LENGTHS = st.one_of(st.integers(0, 240), st.sampled_from([241, 300, 320, 321, 1024, 1025]), st.integers(241, 2100))


@settings(max_examples=150, deadline=None)
@given(
    shapes=st.lists(st.tuples(LENGTHS, st.sampled_from(sorted(INPUT_KINDS))), max_size=24),
    seed=st.integers(0, 2**64 - 1),
    width=st.sampled_from(sorted(WIDTHS)),
)
def test_random_lists_match_the_one_shot_hashes(shapes, seed, width):
    listed, into, reference, size = WIDTHS[width]
    items = [INPUT_KINDS[kind](BLOB[i : i + n]) for i, (n, kind) in enumerate(shapes)]
    expected = packed(reference, size, items, seed)
    assert b"".join(h.to_bytes(size, "little") for h in listed(items, seed)) == expected
    output = bytearray(len(expected))
    assert into(items, output, seed) == len(expected)
    assert output == expected


@pytest.mark.parametrize("width", WIDTHS)
def test_empty_lists_and_list_subclasses(width):
    listed, into, reference, size = WIDTHS[width]
    assert listed([]) == []
    for before in (b"", b"keep"):
        output = bytearray(before)
        assert into([], output) == 0
        assert output == before
    items = type("Items", (list,), {})([b"a", b"bc"])
    destination = type("Destination", (bytearray,), {})(2 * size)
    assert listed(items) == [reference(b"a"), reference(b"bc")]
    assert into(items, destination) == 2 * size
    assert bytes(destination) == packed(reference, size, items, 0)


@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize("share", ["the destination", "a view of it", "a view of part of it"])
def test_items_sharing_memory_with_the_destination_hash_its_old_content(width, share):
    _, into, reference, size = WIDTHS[width]
    output = bytearray(BLOB[: 4 * size])
    item = {
        "the destination": output,
        "a view of it": memoryview(output),
        "a view of part of it": memoryview(output)[3:40],
    }[share]
    items = [item, b"x", item]
    expected = packed(reference, size, items, 9)
    assert into(items, output, 9) == 3 * size
    assert output[: 3 * size] == expected


# (items, seed) and what every form raises for them.
FAILURES = {
    "negative seed": (([b"a"], -1), OverflowError, "can't convert negative int to unsigned"),
    "seed too large": (([b"a"], 2**64), OverflowError, "int too big to convert"),
    "seed checked first": (((b"a",), "1"), TypeError, None),
    "items a tuple": (((b"a",), 0), TypeError, "'tuple' object is not an instance of 'list'"),
    "items None": ((None, 0), TypeError, "'None' is not an instance of 'list'"),
    "int item": (([b"a", 5], 0), TypeError, "items element must be a bytes-like object"),
    "str item": (([b"a", "text"], 0), TypeError, "items element must be a bytes-like object"),
}


@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize("case", FAILURES)
def test_failures_leave_the_destination_unchanged(width, case):
    listed, into, _, size = WIDTHS[width]
    (items, seed), error, message = FAILURES[case]
    output = bytearray(b"\xa5" * 4 * size)
    for form in (listed, lambda items, seed: into(items, output, seed)):
        with pytest.raises(error) as info:
            form(items, seed)
        if message is not None:
            assert str(info.value) == message
    assert output == b"\xa5" * 4 * size


@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize(
    ("output", "message"),
    [
        (b"x" * 32, "'bytes' object is not an instance of 'bytearray'"),
        (None, "'None' is not an instance of 'bytearray'"),
        (memoryview(bytearray(32)), "'memoryview' object is not an instance of 'bytearray'"),
    ],
)
def test_destination_must_be_a_bytearray(width, output, message):
    into = WIDTHS[width][1]
    with pytest.raises(TypeError) as info:
        into([b"a"], output)
    assert str(info.value) == message
    with pytest.raises(TypeError) as info:
        into((b"a",), output)
    assert str(info.value) == "'tuple' object is not an instance of 'list'"


@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize("items", [[b"a", b"b"], [b"a", 5]], ids=["bytes", "with a bad item"])
def test_destination_too_small(width, items):
    into, size = WIDTHS[width][1], WIDTHS[width][3]
    output = bytearray(b"\xa5" * (2 * size - 1))
    with pytest.raises(ValueError) as info:
        into(items, output)
    assert str(info.value) == f"XXH3 batch output requires {2 * size} bytes but the destination has {2 * size - 1}"
    assert output == b"\xa5" * (2 * size - 1)


@needs_python_buffers
@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize("position", [0, 700, 1999])
def test_long_list_changed_by_an_items_export_is_hashed_as_it_was(width, position):
    # Long lists are read a part at a time: the items after the first one
    # that runs code must still be the list as it stood at the start.
    listed, into, reference, size = WIDTHS[width]
    items = [BLOB[i : i + 20 + i % 40] for i in range(2000)]
    expected = [reference(x) for x in items]
    for form in ("list", "packed"):
        owner = list(items)
        owner[position] = ClearsTheList(items[position], owner)
        if form == "list":
            assert listed(owner) == expected
        else:
            output = bytearray(size * len(items))
            assert into(owner, output) == len(output)
            assert output == b"".join(h.to_bytes(size, "little") for h in expected)


@pytest.mark.parametrize("width", WIDTHS)
def test_list_changed_by_another_thread_gives_a_consistent_prefix(width):
    """Another thread replaces items with fresh objects, shortens the list and
    grows it back; the call holds its items and hashes a prefix of the list
    as it was. With 16,384 items the hash runs detached, so the changes also
    land while the hashing runs."""
    listed, _, reference, _ = WIDTHS[width]
    count = 16_384
    first = [BLOB[i : i + 250 + i % 90] for i in range(count)]
    second = [BLOB[i + 1 : i + 30] for i in range(count)]
    allowed = [{reference(a), reference(b)} for a, b in zip(first, second)]
    items = [bytes(x) for x in first]
    stop = threading.Event()

    def mutate():
        rng = random.Random(1)
        while not stop.is_set():
            for _ in range(64):
                j = rng.randrange(count // 2)
                items[j] = bytes(rng.choice((first, second))[j])
            del items[count // 2 :]
            items.extend(bytes(x) for x in first[count // 2 :])

    thread = threading.Thread(target=mutate)
    thread.start()
    try:
        for _ in range(30):
            result = listed(items)
            assert count // 2 <= len(result) <= count
            assert all(h in allowed[j] for j, h in enumerate(result))
    finally:
        stop.set()
        thread.join()


@pytest.mark.parametrize("width", WIDTHS)
def test_bytearray_item_resized_during_a_detached_call_hashes_a_consistent_state(width):
    listed = WIDTHS[width][0]
    others = [b""] * 16_383  # enough items to make the call detach
    assert_consistent_while_resized(lambda data: listed([data, *others])[0], BLOB[:4096], calls=200)


WELL_ABOVE_ZERO = 1000


def counted_during(call, attempts, until_released=False):
    """What another thread counted while each of `attempts` calls ran
    (stopping at a count well above zero if `until_released`).

    The switch interval is made far longer than the calls, so with the
    interpreter lock the counting thread can run during a call only if the
    call releases the lock, or when the interval runs out while the lock is
    held, which can fall in at most one window per interval. A busy scheduler
    may not wake the counting thread during a release, hence several
    attempts of a long call."""
    counts = []
    count = 0
    stop = threading.Event()

    def counter():
        nonlocal count
        while not stop.is_set():
            count += 1

    interval = sys.getswitchinterval()
    sys.setswitchinterval(0.25)
    thread = threading.Thread(target=counter)
    try:
        thread.start()
        for _ in range(attempts):
            before = count
            call()
            counts.append(count - before)
            if until_released and counts[-1] > WELL_ABOVE_ZERO:
                break
        return counts
    finally:
        stop.set()
        thread.join()
        sys.setswitchinterval(interval)


def releases(call, attempts):
    return max(counted_during(call, attempts, until_released=True)) > WELL_ABOVE_ZERO


def keeps_the_interpreter(call, attempts=9):
    # A release shows in most attempts, the running out of the interval in
    # one at most.
    return sorted(counted_during(call, attempts))[attempts // 2] == 0


LARGE_ITEMS = [BLOB] * 256  # 256 MiB: tens of milliseconds of hashing


@needs_the_lock
@pytest.mark.parametrize(("width", "packed_form"), [("64", False), ("128", True)], ids=["64 list", "128 packed"])
def test_large_calls_release_the_interpreter(width, packed_form):
    listed, into, _, size = WIDTHS[width]
    output = bytearray(size * (len(LARGE_ITEMS) + 1))
    hash_all = (lambda items: into(items, output)) if packed_form else listed
    assert releases(lambda: hash_all(LARGE_ITEMS), attempts=5)
    # bytearray items are copied first, so they do not keep the interpreter.
    assert releases(lambda: hash_all([bytearray(BLOB), *LARGE_ITEMS]), attempts=5)


@needs_the_lock
def test_release_thresholds():
    # 16,383 items of 1,048,575 bytes in all: just under both thresholds.
    just_under = [BLOB[:64]] * 16_382 + [BLOB[:127]]
    assert keeps_the_interpreter(lambda: v.xxh3_64_batch(just_under))
    assert keeps_the_interpreter(lambda: v.xxh3_128_batch_into(just_under, bytearray(16 * 16_383)))
    # The item count alone makes a call large (here one long enough for a
    # busy scheduler to wake the counting thread).
    empty_items = [b""] * 2_000_000
    output = bytearray(8 * len(empty_items))
    assert releases(lambda: v.xxh3_64_batch_into(empty_items, output), attempts=5)
