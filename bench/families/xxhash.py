import xxhash

import _vantorq as v
from bench.harness import DEFAULT_SIZES, Row

# 240 B is the longest input of the short paths.
SIZES = ("16 B", "240 B", *DEFAULT_SIZES[1:])


def rows() -> list[Row]:
    # xxhash's intdigest functions take the same (data, seed=0) call as ours,
    # so both sides are called directly with no wrapper in between.
    return [
        Row("xxh3_64", v.xxh3_64, {"xxhash": xxhash.xxh3_64_intdigest}, sizes=SIZES),
        Row("xxh3_128", v.xxh3_128, {"xxhash": xxhash.xxh3_128_intdigest}, sizes=SIZES),
    ]
