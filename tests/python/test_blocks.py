"""The building blocks from Python: arrays in any layout, the library's
results, and no crash from any argument."""
import numpy as np
import pytest

import vexolith


def test_load_gives_top_down_bgr_rows(sample_path):
    picture = vexolith.load(sample_path)
    assert picture.dtype == np.uint8
    assert picture.shape == (293, 301, 3)
    # The sample's page is light at the top-left corner and its figure's border ring dark.
    assert picture[0, 0].min() > 200
    assert picture[100, 50].max() < 128, "on the border ring"


def test_gray_of_strided_and_packed_views_agree(sample_path):
    picture = vexolith.load(sample_path)
    packed = np.ascontiguousarray(picture)
    assert np.array_equal(vexolith.gray(picture), vexolith.gray(packed)), "negative row stride"
    assert np.array_equal(vexolith.gray(packed[:, ::2]), vexolith.gray(np.ascontiguousarray(packed[:, ::2]))), \
        "pixel stride 6"
    channels_last = np.ascontiguousarray(packed.transpose(2, 0, 1)).transpose(1, 2, 0)
    assert np.array_equal(vexolith.gray(channels_last), vexolith.gray(packed)), "planar channels"


def test_gray_follows_the_weights():
    bgr = np.array([[[10, 200, 30], [255, 255, 255]]], dtype=np.uint8)
    gray = vexolith.gray(bgr)
    assert gray[0, 0] == int((10 * 0.071 + 200 * 0.707) + 30 * 0.222)
    assert gray[0, 1] == 255


def test_threshold_returns_a_new_binary_array():
    gray = np.arange(256, dtype=np.uint8).reshape(16, 16)
    before = gray.copy()
    binary = vexolith.threshold(gray, 100)
    assert np.array_equal(gray, before), "the input stays as it was"
    assert np.array_equal(binary, np.where(gray <= 100, 0, 255).astype(np.uint8))


def test_find_lists_regions_with_boxes_levels_and_parents():
    binary = np.full((12, 12), 255, np.uint8)
    binary[1:11, 1:11] = 0      # a black square ...
    binary[3:9, 3:9] = 255      # ... with a white hole ...
    binary[5:7, 5:7] = 0        # ... holding a black dot
    contours = vexolith.find(binary, colour=0, mode=1)
    assert len(contours) == 2
    outer, dot = contours
    assert outer.box == [1, 1, 10, 10]
    assert len(outer.points) == 100 - 36
    assert dot.parent == 0
    assert dot.level == 1
    assert sorted(map(tuple, dot.points.tolist())) == [(5, 5), (5, 6), (6, 5), (6, 6)]


def test_cells_measure_a_checkerboard():
    binary = np.full((100, 100), 255, np.uint8)
    binary[30:50, 30:50] = 0
    binary[50:70, 50:70] = 0
    corners = np.array([[30, 30], [69, 69], [69, 30], [30, 69]], dtype=float)  # p1, p2, p3, p4
    values = vexolith.cells(binary, corners, 2, 2)
    assert values.shape == (2, 2)
    assert (values > 0.5).tolist() == [[True, False], [False, True]]


@pytest.mark.parametrize("call, error", [
    (lambda: vexolith.gray(None), TypeError),
    (lambda: vexolith.gray(np.zeros((4, 4), np.float32)), TypeError),
    (lambda: vexolith.gray(np.zeros((4, 4, 4), np.uint8)), ValueError),
    (lambda: vexolith.gray(np.zeros((0, 4), np.uint8)), ValueError),
    (lambda: vexolith.gray([[1, 2], [3, 4]]), TypeError),
    (lambda: vexolith.threshold(np.zeros((4, 4), np.uint8), 300), ValueError),
    (lambda: vexolith.threshold(np.zeros((4, 4), np.uint8), 10, rect=(0, 0, 5, 4)), ValueError),
    (lambda: vexolith.threshold(np.zeros((4, 4), np.uint8), 10, rect=(2, 0, 1, 4)), ValueError),
    (lambda: vexolith.adaptive_threshold(np.zeros((4, 4, 3), np.uint8), -3), ValueError),
    (lambda: vexolith.block_threshold(np.zeros((4, 4), np.uint8), 128, 64, 0), ValueError),
    (lambda: vexolith.find(np.zeros((4, 4, 3), np.uint8)), ValueError),
    (lambda: vexolith.cells(np.zeros((4, 4), np.uint8), np.zeros((3, 2)), 2, 2), ValueError),
    (lambda: vexolith.cells(np.zeros((4, 4), np.uint8), np.zeros((4, 2)), -1, 2), ValueError),
    (lambda: vexolith.load("/nonexistent/sheet.png"), vexolith.Error),
])
def test_bad_arguments_raise(call, error):
    with pytest.raises(error):
        call()
