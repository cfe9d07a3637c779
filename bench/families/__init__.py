"""One module per family; each defines rows() -> list[bench.harness.Row]."""
