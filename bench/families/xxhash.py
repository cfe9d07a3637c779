import random

import xxhash

import _vantorq as v
import vantorq.xxhash as package
from bench.harness import DEFAULT_SIZES, Row

# 240 B is the longest input of the short paths.
SIZES = ("16 B", "240 B", *DEFAULT_SIZES[1:])
# Where the drop-in's calls are compared with the package's own.
DROP_IN_SIZES = ("16 B", "1 KiB", "1 MiB")

# The list rows hash this many items per call, against a list comprehension
# over the package's one-shot function on the same items; the 16 B rows also
# at the other list lengths, where a cost that grows with the list shows.
ITEMS = 10_000
LIST_SIZES = ("16 B", "64 B", "1 KiB")
LIST_LENGTHS = (1_000, 100_000, 1_000_000)


def _items(count: int):
    def make(data: bytes) -> list[bytes]:
        rng = random.Random(len(data))
        return [rng.randbytes(len(data)) for _ in range(count)]

    return make


def _items_of_random_lengths(count: int):
    """Lengths from 0 to twice the size, so the size is their mean."""

    def make(data: bytes) -> list[bytes]:
        rng = random.Random(len(data))
        return [rng.randbytes(rng.randrange(2 * len(data) + 1)) for _ in range(count)]

    return make


def _list_rows(name: str, batch, batch_into, digest_bytes: int, one_shot) -> list[Row]:
    def comprehension(items):
        return [one_shot(x) for x in items]

    def with_destination(make_items):
        return lambda data: (items := make_items(data), bytearray(digest_bytes * len(items)))

    rows = []
    for count, make_items, kind, sizes in [
        (ITEMS, _items, "items", LIST_SIZES),
        (ITEMS, _items_of_random_lengths, "random-length", ("1 KiB",)),
        *((length, _items, "items", ("16 B",)) for length in LIST_LENGTHS),
    ]:
        rows += [
            Row(
                f"{name}_batch ({count:,} {kind})",
                batch,
                {"xxhash list": comprehension},
                prepare=make_items(count),
                sizes=sizes,
                items=count,
            ),
            Row(
                f"{name}_batch_into ({count:,} {kind}, reused)",
                lambda a: batch_into(a[0], a[1]),
                {"xxhash list": lambda a: comprehension(a[0])},
                prepare=with_destination(make_items(count)),
                sizes=sizes,
                items=count,
            ),
        ]
    return rows


# The hashers are fed chunks of these sizes, one update per call.
CHUNK_SIZES = ("16 B", "1 KiB", "64 KiB", "1 MiB")


def _hasher_rows(name: str, ours, theirs) -> list[Row]:
    return [
        Row(
            f"{name}_hasher.update",
            lambda a: a[0].update(a[2]),
            {"xxhash hasher": lambda a: a[1].update(a[2])},
            prepare=lambda data: (ours(), theirs(), data),
            sizes=CHUNK_SIZES,
            one_shot=False,
        )
    ]


def rows() -> list[Row]:
    # xxhash's intdigest functions take the same (data, seed=0) call as ours,
    # so both sides are called directly with no wrapper in between.
    return [
        Row("xxh3_64", v.xxh3_64, {"xxhash": xxhash.xxh3_64_intdigest}, sizes=SIZES),
        Row("xxh3_128", v.xxh3_128, {"xxhash": xxhash.xxh3_128_intdigest}, sizes=SIZES),
        *_list_rows("xxh3_64", v.xxh3_64_batch, v.xxh3_64_batch_into, 8, xxhash.xxh3_64_intdigest),
        *_list_rows("xxh3_128", v.xxh3_128_batch, v.xxh3_128_batch_into, 16, xxhash.xxh3_128_intdigest),
        # The package's most used calls, through vantorq.xxhash.
        Row("xxh3_64_intdigest", package.xxh3_64_intdigest, {"xxhash": xxhash.xxh3_64_intdigest},
            sizes=DROP_IN_SIZES),
        Row("xxh64(data).hexdigest()", lambda data: package.xxh64(data).hexdigest(),
            {"xxhash": lambda data: xxhash.xxh64(data).hexdigest()}, sizes=DROP_IN_SIZES),
        Row("xxh64_intdigest", package.xxh64_intdigest, {"xxhash": xxhash.xxh64_intdigest}, sizes=SIZES),
        Row("xxh32_intdigest", package.xxh32_intdigest, {"xxhash": xxhash.xxh32_intdigest}, sizes=SIZES),
        *_hasher_rows("xxh64", package.xxh64, xxhash.xxh64),
        *_hasher_rows("xxh32", package.xxh32, xxhash.xxh32),
        *_hasher_rows("xxh3_64", package.xxh3_64, xxhash.xxh3_64),
        *_hasher_rows("xxh3_128", package.xxh3_128, xxhash.xxh3_128),
    ]
