"""The reader: vexolith.read(picture_or_path, rows, cols, **options)."""
from dataclasses import dataclass, field
from typing import List, Optional

import numpy as np

from . import _vexolith


@dataclass
class Figure:
    """One figure read off a picture."""
    corners: np.ndarray     # 4 x 2 (x, y): top-left, top-right, bottom-right, bottom-left as seen, y downward
    values: np.ndarray      # rows x cols: darkness of each cell, 0 paper .. 1 ink (about)
    margins: np.ndarray     # rows x cols: distance of each value from the threshold; small means unsure
    verdicts: np.ndarray    # rows x cols bool: True for a black cell
    threshold: float        # the cell threshold used, 0..1
    confidence: float       # 0..1: how clearly the cells split into black and white
    black: int              # number of black cells


@dataclass
class Result:
    """The reading of one picture. `ok` is False, with `fault` saying why,
    when no figure could be read; the fields of the best figure are then None."""
    ok: bool
    fault: str
    width: int
    height: int
    figures: List[Figure] = field(default_factory=list)   # most confident first; one unless all=True

    def _best(self, name):
        return getattr(self.figures[0], name) if self.figures else None

    corners = property(lambda self: self._best("corners"))
    values = property(lambda self: self._best("values"))
    margins = property(lambda self: self._best("margins"))
    verdicts = property(lambda self: self._best("verdicts"))
    confidence = property(lambda self: self._best("confidence"))
    threshold = property(lambda self: self._best("threshold"))


def read(picture, rows: int = 10, cols: int = 10, *, binarize: str = "auto", level: int = 128,
         window: int = 0, block: int = 0, threshold: Optional[float] = None, all: bool = False,
         max_side: int = 1200) -> Result:
    """Finds the figure of rows x cols cells (border ring included) in a picture
    and reads its cells.

    picture: a file path (BMP, PNG, JPEG, TIFF, GIF) or a numpy uint8 array,
    H x W gray or H x W x 3 B, G, R, rows top-down, any strides.
    binarize: 'auto', 'global' (at `level`), 'local' (mean of `window`), 'block' (`block`).
    threshold: cell value above which a cell is black; None: chosen per figure.
    all: every figure of that size, else the most confident one.
    The global interpreter lock is released while reading.
    """
    raw = _vexolith._read(picture, int(rows), int(cols), binarize, int(level), int(window), int(block),
                          threshold, bool(all), int(max_side))
    figures = [Figure(**f) for f in raw.pop("figures")]
    return Result(figures=figures, **raw)
