"""Hash the key column of a Parquet dataset in Spark: mapInArrow hands each
batch of rows to vantorq.columns.xxh3_64 as one Arrow column, with no Python
object per key, and the hashes come back as Spark longs.

    python examples/spark_hash_keys.py DATASET OUTPUT [--master URL] [--seed S]

DATASET is Parquet (a file or a directory of files) with a binary or string
column "key"; OUTPUT is written as a directory of Parquet files with every
column of DATASET and "key_hash". Spark has no unsigned 64-bit type, so
key_hash holds the hash's bits as a signed long (columns.xxh3_64(...,
signed=True)): a hash of 2**63 or more reads as that minus 2**64.
"""

import argparse
import os
import sys
from collections.abc import Iterator

import pyarrow as pa
from pyspark.sql import DataFrame, SparkSession
from pyspark.sql.types import LongType, StructField, StructType

from vantorq import columns


def with_key_hash(frame: DataFrame, seed: int = 0) -> DataFrame:
    """`frame` with a long column "key_hash": the XXH3-64 hash of "key" (null for a null key)."""

    def add_hash(batches: Iterator[pa.RecordBatch]) -> Iterator[pa.RecordBatch]:
        for batch in batches:
            hashes = columns.xxh3_64(batch.column("key"), seed=seed, signed=True)
            yield batch.append_column("key_hash", pa.array(hashes))

    return frame.mapInArrow(add_hash, StructType([*frame.schema.fields, StructField("key_hash", LongType())]))


def session(master: str) -> SparkSession:
    """A session whose Python workers run this interpreter, where vantorq is
    installed (read as the session starts its JVM)."""
    os.environ.setdefault("PYSPARK_PYTHON", sys.executable)
    if master.startswith("local"):
        # Everything runs on this machine: nothing listens beyond its loopback.
        os.environ.setdefault("SPARK_LOCAL_IP", "127.0.0.1")
    builder = SparkSession.builder.master(master).appName("vantorq hash keys").config("spark.ui.enabled", "false")
    # Each Python worker is a fresh interpreter rather than a fork of a
    # long-lived daemon, whose imported libraries' threads and locks a fork
    # would copy; a Python worker that faults prints its stack.
    builder = builder.config("spark.python.use.daemon", "false")
    return builder.config("spark.python.worker.faulthandler.enabled", "true").getOrCreate()


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dataset")
    parser.add_argument("output")
    parser.add_argument("--master", default="local[1]", help="Spark master URL (default local[1])")
    parser.add_argument("--seed", type=int, default=0)
    arguments = parser.parse_args()
    spark = session(arguments.master)
    try:
        spark.sparkContext.setLogLevel("ERROR")
        with_key_hash(spark.read.parquet(arguments.dataset), arguments.seed).write.parquet(arguments.output)
    finally:
        spark.stop()


if __name__ == "__main__":
    main()
