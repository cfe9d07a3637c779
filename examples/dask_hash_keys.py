"""Hash the key column of a partitioned Parquet dataset on a Dask cluster:
each partition's keys go to vantorq.columns.xxh3_64 as one Arrow column, and
come back as one uint64 column, with no Python object per key.

    python examples/dask_hash_keys.py DATASET OUTPUT [--workers N] [--seed S]

DATASET is a directory of Parquet files with a binary or string column
"key"; OUTPUT is written as Parquet with the columns "key" and "key_hash".
"""

import argparse

import dask.dataframe as dd
import pandas as pd
import pyarrow as pa
import pyarrow.parquet as pq
from distributed import Client, LocalCluster

from vantorq import columns


def hash_partition(partition: pd.DataFrame, seed: int = 0) -> pd.DataFrame:
    """One partition's keys and their XXH3-64 hashes (null for a null key)."""
    keys = pa.array(partition["key"])  # the partition's Arrow-backed column, without a copy where it can
    hashes = pa.array(columns.xxh3_64(keys, seed=seed))
    return pd.DataFrame(
        {"key": partition["key"], "key_hash": pd.arrays.ArrowExtensionArray(hashes)}, index=partition.index
    )


def hash_dataset(dataset: str, workers: int = 2, seed: int = 0) -> pd.DataFrame:
    """Every key of the dataset with its hash, in the dataset's order, hashed by `workers` processes."""
    with LocalCluster(n_workers=workers, threads_per_worker=1, dashboard_address=None) as cluster, Client(cluster):
        frame = dd.read_parquet(dataset, columns=["key"], dtype_backend="pyarrow")
        # Dask learns the result's columns by calling hash_partition on a sample partition.
        return frame.map_partitions(hash_partition, seed).compute()


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dataset")
    parser.add_argument("output")
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--seed", type=int, default=0)
    arguments = parser.parse_args()
    result = hash_dataset(arguments.dataset, arguments.workers, arguments.seed)
    pq.write_table(pa.Table.from_pandas(result, preserve_index=False), arguments.output)


if __name__ == "__main__":
    main()
