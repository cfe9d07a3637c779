import mmh3

import _vantorq as v
from bench.harness import Row


def rows() -> list[Row]:
    # mmh3's digest functions take the same (data, seed=0) call as ours, so
    # both sides are called directly with no wrapper in between.
    return [
        Row("murmur3_32", v.murmur3_32, {"mmh3": mmh3.mmh3_32_uintdigest}),
        Row("murmur3_x86_128_digest", v.murmur3_x86_128_digest, {"mmh3": mmh3.mmh3_x86_128_digest}),
        Row("murmur3_x64_128_digest", v.murmur3_x64_128_digest, {"mmh3": mmh3.mmh3_x64_128_digest}),
    ]
