"""Side-by-side benchmarks of _vantorq against the interpreter and peer packages."""
