"""vantorq.columns inside query engines: as a DuckDB Arrow UDF in SQL, and in
Spark's mapInArrow (the Spark example, local mode); every hash equals the
one-value function's, and signed=True gives the engines' signed integers the
same bits."""

import os
import pathlib
import random
import signal
import subprocess
import sys
import time

import pytest

import _vantorq
from vantorq import columns

pa = pytest.importorskip("pyarrow")
pq = pytest.importorskip("pyarrow.parquet")

SPARK_EXAMPLE = pathlib.Path(__file__).resolve().parents[2] / "examples" / "spark_hash_keys.py"


def as_signed(value):
    return None if value is None else value - (value >> 63 << 64)


def random_keys(count, seed):
    """`count` binary keys, about one in 16 null, mostly short, one in 500
    past XXH3's 240-byte short path; built from buffers, not Python objects."""
    np = pytest.importorskip("numpy")
    rng = np.random.default_rng(seed)
    sizes = rng.integers(0, 40, count)
    sizes[rng.integers(0, count, count // 500)] = rng.integers(241, 2000, count // 500)
    offsets = np.zeros(count + 1, np.int32)
    np.cumsum(sizes, out=offsets[1:])
    valid = rng.random(count) >= 1 / 16
    buffers = [pa.py_buffer(np.packbits(valid, bitorder="little")), pa.py_buffer(offsets),
               pa.py_buffer(rng.bytes(int(offsets[-1])))]
    return pa.Array.from_buffers(pa.binary(), count, buffers)


def test_duckdb_sql_hashes_a_million_keys_as_the_one_value_function():
    duckdb = pytest.importorskip("duckdb")
    keys = random_keys(1_000_000, 3)
    con = duckdb.connect()
    # DuckDB counts the keyword-only parameters as SQL arguments: each UDF is a
    # one-argument lambda.
    blob = duckdb.sqltype("BLOB")
    con.create_function("xxh3_64", lambda k: columns.xxh3_64(k, seed=7), [blob], duckdb.sqltype("UBIGINT"),
                        type="arrow")
    con.create_function("xxh3_64_signed", lambda k: columns.xxh3_64(k, seed=7, signed=True), [blob],
                        duckdb.sqltype("BIGINT"), type="arrow")
    con.register("keys", pa.table({"id": pa.array(range(len(keys))), "key": keys}))
    hashed = pa.table(con.sql("select xxh3_64(key) as h, xxh3_64_signed(key) as s from keys order by id"))
    expected = [None if key is None else _vantorq.xxh3_64(key, 7) for key in keys.to_pylist()]
    assert hashed["h"].to_pylist() == expected
    assert hashed["s"].to_pylist() == [as_signed(value) for value in expected]


def run_spark_example(*arguments, timeout=300):
    """The Spark example's exit status and standard error. Past `timeout`
    seconds it fails with what its processes were waiting for: their list,
    the JVM's thread dumps (on standard output) and the example's Python
    stacks (on standard error)."""
    command = [sys.executable, "-X", "faulthandler", str(SPARK_EXAMPLE), *arguments]
    with subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          start_new_session=True) as example:
        try:
            errors = example.communicate(timeout=timeout)[1]
            return example.returncode, errors
        except subprocess.TimeoutExpired:
            # Without a preloaded library (a sanitizer's runtime), in which ps itself can hang.
            environment = {name: value for name, value in os.environ.items() if name != "LD_PRELOAD"}
            processes = subprocess.run(["ps", "-s", str(example.pid), "-o", "pid,ppid,stat,wchan:24,etime,args"],
                                       capture_output=True, text=True, env=environment, timeout=30).stdout
            for line in processes.splitlines()[1:]:
                if "java" in line.split(maxsplit=5)[-1]:
                    os.kill(int(line.split()[0]), signal.SIGQUIT)  # a JVM prints its threads' stacks
            time.sleep(2)
            example.send_signal(signal.SIGABRT)  # faulthandler prints every Python thread's stack
            time.sleep(1)
            os.killpg(example.pid, signal.SIGKILL)
            output, errors = example.communicate()
            pytest.fail(f"the Spark example took over {timeout} s; its processes:\n{processes}\n"
                        f"its standard error:\n{errors[-10000:]}\nits standard output:\n{output[-30000:]}")


def test_spark_example_adds_the_hash_as_a_long(tmp_path):
    pytest.importorskip("pyspark")
    rng = random.Random(5)
    dataset = tmp_path / "dataset"
    dataset.mkdir()
    rows = 0
    for part in range(3):
        keys = [None if rng.random() < 0.1 else rng.randbytes(rng.choice([0, 5, 40, 300])) for _ in range(700)]
        ids = pa.array(range(rows, rows + len(keys)), pa.int64())
        pq.write_table(pa.table({"id": ids, "key": pa.array(keys, pa.binary())}), dataset / f"part-{part}.parquet")
        rows += len(keys)
    output = tmp_path / "hashed"
    status, errors = run_spark_example(str(dataset), str(output), "--seed", "9")
    assert status == 0, errors[-4000:]
    hashed = pq.read_table(output).sort_by("id")
    source = pq.read_table(dataset).sort_by("id")
    assert hashed.schema.field("key_hash").type == pa.int64()
    assert hashed["id"].to_pylist() == list(range(rows))
    assert hashed["key"].to_pylist() == source["key"].to_pylist()
    expected = [None if key is None else as_signed(_vantorq.xxh3_64(key, 9)) for key in source["key"].to_pylist()]
    assert hashed["key_hash"].to_pylist() == expected
