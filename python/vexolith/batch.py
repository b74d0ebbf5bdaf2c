"""Placeholder."""
def read_many(*args, **kwargs):
    raise NotImplementedError
