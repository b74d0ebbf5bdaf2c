"""vexolith: find a dark grid of cells in a picture and read which cells are black.

    import vexolith
    result = vexolith.read("sheet.png", rows=10, cols=10)
    if result.ok:
        print(result.verdicts)          # rows x cols numpy bool array
"""
from ._vexolith import *  # noqa: F401,F403
from ._vexolith import Error, __doc__ as _doc  # noqa: F401
from .batch import read_many  # noqa: F401
