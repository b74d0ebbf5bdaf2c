import os
from pathlib import Path

import pytest

SOURCE = Path(os.environ.get("VEXOLITH_SOURCE_DIR", Path(__file__).resolve().parents[2]))
BUILD = Path(os.environ.get("VEXOLITH_BUILD_DIR", SOURCE / "build"))


@pytest.fixture(scope="session")
def sample_path():
    return str(SOURCE / "samples" / "sample.bmp")


@pytest.fixture(scope="session")
def build_dir():
    return BUILD
