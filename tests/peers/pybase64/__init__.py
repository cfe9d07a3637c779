# Copied beside pybase64's tests, making them the package that their
# `from . import utils` needs.
