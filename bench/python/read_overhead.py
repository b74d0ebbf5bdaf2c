"""What reading from Python costs over the C++ reader, on the same pictures.

    PYTHONPATH=build/python /usr/bin/python3 bench/python/read_overhead.py [--count 1000] [--rounds 3]

Generates COUNT pictures of about one megapixel with the project's generator,
holds them in memory as numpy arrays (Python) and as images (C++), and times
vexolith.read against vexolith::Read over all of them: median of ROUNDS,
one thread each, in the thread's CPU time on both sides (on a shared
machine the wall clock measures the neighbours as well). Prints both and
the ratio.
"""
import argparse
import statistics
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import vexolith

BUILD = Path(vexolith.__file__).resolve().parents[2]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    gen = BUILD / "tools" / "vexolith-gen"
    cpp = BUILD / "bench" / "python" / "vexolith-read-arrays"
    with tempfile.TemporaryDirectory() as folder:
        def make(i):
            path = f"{folder}/p{i:05d}.bmp"
            subprocess.run([str(gen), path, "--set", "harsh", "--index", str(i), "--seed", "3", "--rows", "10",
                            "--cols", "10", "--size", "500", "--margin", "0.25"], check=True, capture_output=True)
            return path

        with ThreadPoolExecutor(4) as pool:
            paths = list(pool.map(make, range(args.count)))
        arrays = [vexolith.load(p).copy() for p in paths]  # packed, rows top-down
        megapixels = statistics.mean(a.shape[0] * a.shape[1] for a in arrays) / 1e6

        rounds = []
        for _ in range(args.rounds):
            start = time.thread_time()
            read = sum(vexolith.read(a, 10, 10).ok for a in arrays)
            rounds.append((time.thread_time() - start) / len(arrays))
        python = statistics.median(rounds)
        out = subprocess.run([str(cpp), "10", "10", str(args.rounds), *paths], check=True, capture_output=True,
                             text=True).stdout.split()
        native, native_read = float(out[0]), int(out[1])
    print(f"{len(arrays)} pictures of {megapixels:.2f} MP on average")
    print(f"C++ reader    {native * 1e3:8.3f} ms per picture  ({native_read} read)")
    print(f"Python reader {python * 1e3:8.3f} ms per picture  ({read} read)")
    print(f"Python / C++  {python / native:8.3f}")
    return 0 if read == native_read else 1


if __name__ == "__main__":
    sys.exit(main())
