"""The Dask example runs on a local cluster of two worker processes, within a
time bound, and gives what one process gives."""

import pathlib
import random
import subprocess
import sys

import pytest

pytest.importorskip("distributed")
pytest.importorskip("dask.dataframe")
pa = pytest.importorskip("pyarrow")
pq = pytest.importorskip("pyarrow.parquet")

from vantorq import columns  # noqa: E402

EXAMPLE = pathlib.Path(__file__).resolve().parents[2] / "examples" / "dask_hash_keys.py"


def test_dask_example_equals_the_single_process_call(tmp_path):
    rng = random.Random(5)
    dataset = tmp_path / "dataset"
    dataset.mkdir()
    for part in range(4):
        keys = [None if rng.random() < 0.1 else rng.randbytes(rng.randrange(40)) for _ in range(500)]
        pq.write_table(pa.table({"key": pa.array(keys, pa.binary())}), dataset / f"part-{part}.parquet")
    output = tmp_path / "hashed.parquet"
    subprocess.run([sys.executable, str(EXAMPLE), str(dataset), str(output), "--seed", "9"], check=True, timeout=240)
    hashed = pq.read_table(output)
    keys = pq.read_table(dataset)["key"]
    assert hashed["key"].to_pylist() == keys.to_pylist()
    assert hashed["key_hash"].to_pylist() == pa.array(columns.xxh3_64(keys, seed=9)).to_pylist()
