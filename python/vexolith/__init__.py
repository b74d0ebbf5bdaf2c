"""vexolith: find a dark grid of cells in a picture and read which cells are black.

    import vexolith
    result = vexolith.read("sheet.png", rows=10, cols=10)
    if result.ok:
        print(result.verdicts)          # rows x cols numpy bool array

The building blocks (load, gray, threshold, adaptive_threshold,
block_threshold, find, cells) work on numpy arrays; read_many reads many
pictures, on a Dask cluster when given a client.
"""
from ._vexolith import (Contour, Error, adaptive_threshold, block_threshold, cells, find, gray, load,  # noqa: F401
                        threshold)
from .batch import read_many  # noqa: F401
from .reader import Figure, Result, read  # noqa: F401

__all__ = ["Contour", "Error", "Figure", "Result", "adaptive_threshold", "block_threshold", "cells", "find",
           "gray", "load", "read", "read_many", "threshold"]
