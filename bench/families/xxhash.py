import xxhash

import _vantorq as v
from bench.harness import Row


def rows() -> list[Row]:
    # xxhash's intdigest functions take the same (data, seed=0) call as ours,
    # so both sides are called directly with no wrapper in between.
    return [
        Row("xxh3_64", v.xxh3_64, {"xxhash": xxhash.xxh3_64_intdigest}),
        Row("xxh3_128", v.xxh3_128, {"xxhash": xxhash.xxh3_128_intdigest}),
    ]
