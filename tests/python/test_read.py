"""The reader from Python agrees with the command and the C++ reader, for
paths and arrays, one picture or many, on threads or on a Dask cluster."""
import json
import subprocess
import threading
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest

import vexolith


@pytest.fixture(scope="module")
def command(build_dir):
    return str(build_dir / "cli" / "vexolith")


def command_json(command, paths, *flags):
    out = subprocess.run([command, "read", *paths, "--json", *flags], capture_output=True, text=True)
    return [json.loads(line) for line in out.stdout.splitlines()]


def same_reading(result, expected):
    """A Python result and one line of the command's --json name the same reading."""
    assert result.ok == expected["ok"], expected["file"]
    if not result.ok:
        assert result.fault == expected["error"]
        return
    verdicts = ["".join("#" if v else "." for v in row) for row in result.verdicts]
    assert verdicts == expected["verdicts"], expected["file"]
    assert np.allclose(result.corners, np.array(expected["corners"]), atol=0.006), expected["file"]


@pytest.fixture(scope="module")
def generated(tmp_path_factory, build_dir):
    """200 harsh test pictures of 10 x 10 figures, made by the generator."""
    folder = tmp_path_factory.mktemp("generated")
    gen = str(build_dir / "tools" / "vexolith-gen")

    def make(i):
        path = str(folder / f"picture{i:03d}.bmp")
        subprocess.run([gen, path, "--set", "harsh", "--index", str(i), "--seed", "7", "--rows", "10", "--cols",
                        "10"], check=True, capture_output=True)
        return path

    with ThreadPoolExecutor(4) as pool:
        return list(pool.map(make, range(200)))


def test_sample_from_path_and_array_agree_with_the_command(sample_path, command):
    expected = command_json(command, [sample_path])[0]
    from_path = vexolith.read(sample_path, 10, 10)
    same_reading(from_path, expected)
    top_down = vexolith.load(sample_path)
    same_reading(vexolith.read(top_down, 10, 10), expected)
    assert from_path.verdicts.dtype == bool
    assert from_path.verdicts.shape == (10, 10)
    assert 0.0 <= from_path.confidence <= 1.0


def test_gray_array_reads_like_the_colour_picture(sample_path):
    picture = vexolith.load(sample_path)
    assert np.array_equal(vexolith.read(vexolith.gray(picture)).verdicts, vexolith.read(picture).verdicts)


def test_failure_is_a_result_with_its_reason():
    blank = np.full((200, 200), 255, np.uint8)
    result = vexolith.read(blank, 10, 10)
    assert not result.ok
    assert result.fault
    assert result.verdicts is None
    missing = vexolith.read("/nonexistent/sheet.png")
    assert not missing.ok
    assert missing.fault


@pytest.mark.parametrize("kwargs, error", [
    ({"rows": 0}, ValueError), ({"cols": -3}, ValueError), ({"binarize": "magic"}, ValueError),
    ({"threshold": 1.5}, ValueError), ({"level": 256}, ValueError), ({"max_side": 2}, ValueError),
])
def test_bad_options_raise(sample_path, kwargs, error):
    with pytest.raises(error):
        vexolith.read(sample_path, **kwargs)


def test_bad_pictures_raise():
    for picture, error in [(None, TypeError), (np.zeros((5, 5), np.int16), TypeError),
                           (np.zeros((5, 5, 2), np.uint8), ValueError), (42, TypeError)]:
        with pytest.raises(error):
            vexolith.read(picture)


def test_threads_read_at_once(sample_path):
    picture = vexolith.load(sample_path)
    expected = vexolith.read(picture).verdicts
    results = [None] * 8

    def work(i):
        results[i] = vexolith.read(picture).verdicts

    threads = [threading.Thread(target=work, args=(i,)) for i in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for r in results:
        assert np.array_equal(r, expected)


def test_read_many_locally_keeps_the_order(generated, command):
    paths = generated[:40]
    seen = []
    results = vexolith.read_many(paths, 10, 10, in_flight=3, progress=lambda done, total: seen.append(done))
    assert seen == list(range(1, 41))
    for result, expected in zip(results, command_json(command, paths)):
        same_reading(result, expected)


def test_read_many_on_a_dask_cluster_matches_the_command(generated, command):
    distributed = pytest.importorskip("distributed")
    expected = command_json(command, generated)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        results = vexolith.read_many(generated, 10, 10, client=client, in_flight=16)
    assert len(results) == 200
    for result, line in zip(results, expected):
        same_reading(result, line)
    assert sum(r.ok for r in results) > 100, "most harsh pictures are read"


@pytest.mark.parametrize("example", ["read_grid", "read_grid_c"])
def test_examples_read_like_the_command(generated, command, build_dir, sample_path, example):
    """The C++ and the C example read the sample and the 200 pictures as the command does."""
    program = str(build_dir / "examples" / example)
    paths = [sample_path] + generated
    for path, expected in zip(paths, command_json(command, paths)):
        out = subprocess.run([program, path, "10", "10"], capture_output=True, text=True)
        if expected["ok"]:
            assert out.returncode == 0, path
            assert out.stdout.split() == expected["verdicts"], path
        else:
            assert out.returncode == 1, path
            assert out.stderr.strip() == f"{path}: {expected['error']}", path
