"""Reading many pictures: on this machine's cores, or on a Dask cluster.

    results = vexolith.read_many(paths, 10, 10)                     # local threads
    results = vexolith.read_many(paths, 10, 10, client=Client(...)) # a Dask cluster

Results come back in the order of `paths`, one Result per picture, whatever
order the pictures finish in. At most `in_flight` pictures are being read or
waiting at any time, so a list of a million paths never becomes a million
pending tasks.
"""
import os
import sys
import uuid
from concurrent.futures import FIRST_COMPLETED, ThreadPoolExecutor, wait

from .reader import read


def _read_one(path, rows, cols, options):
    return read(path, rows, cols, **options)


def _progress_printer(total):
    def show(done, _total):
        if done == total or done % max(1, total // 100) == 0:
            print(f"vexolith: {done}/{total} pictures read", file=sys.stderr, flush=True)
    return show


def read_many(paths, rows=10, cols=10, client=None, *, in_flight=None, progress=None, **options):
    """Reads every picture of `paths` with vexolith.read(path, rows, cols, **options).

    client: None reads on this machine's cores (threads: the reader releases
    the interpreter lock); a dask.distributed Client spreads the pictures over
    the cluster's workers, each of which must have vexolith installed and see
    the files under the same paths.
    in_flight: the most pictures submitted and not yet collected; default
    four per worker thread.
    progress: None for none, True for a line on standard error every 1%, or a
    callable progress(done, total).
    """
    paths = list(paths)
    total = len(paths)
    if progress is True:
        progress = _progress_printer(total)
    results = [None] * total
    if total == 0:
        return results
    if client is None:
        workers = os.cpu_count() or 1
        _collect_local(paths, rows, cols, options, results, in_flight or 4 * workers, workers, progress)
    else:
        threads = sum(client.nthreads().values()) or 1
        _collect_dask(client, paths, rows, cols, options, results, in_flight or 4 * threads, progress)
    return results


def _collect_local(paths, rows, cols, options, results, in_flight, workers, progress):
    pending = {}
    next_index = 0
    done = 0
    with ThreadPoolExecutor(max_workers=workers) as pool:
        while next_index < len(paths) or pending:
            while next_index < len(paths) and len(pending) < in_flight:
                pending[pool.submit(_read_one, paths[next_index], rows, cols, options)] = next_index
                next_index += 1
            finished, _ = wait(pending, return_when=FIRST_COMPLETED)
            for future in finished:
                results[pending.pop(future)] = future.result()
                done += 1
                if progress:
                    progress(done, len(paths))


def _collect_dask(client, paths, rows, cols, options, results, in_flight, progress):
    from distributed import as_completed

    batch = uuid.uuid4().hex  # task keys of this call, apart from any other call's
    index_of = {}
    queue = as_completed()
    next_index = 0

    def submit():
        nonlocal next_index
        future = client.submit(_read_one, paths[next_index], rows, cols, options,
                               key=f"vexolith-read-{batch}-{next_index}", pure=False)
        index_of[future.key] = next_index
        queue.add(future)
        next_index += 1

    while next_index < len(paths) and next_index < in_flight:
        submit()
    done = 0
    for future in queue:
        results[index_of.pop(future.key)] = future.result()
        future.release()
        done += 1
        if progress:
            progress(done, len(paths))
        if next_index < len(paths):
            submit()
