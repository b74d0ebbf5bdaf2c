"""Builds the compiled part of the vexolith module with the project's own
CMake build, so pip and CMake make the same module."""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(vexolith VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = Path(self.build_temp).resolve() / "cmake"
        subprocess.run(
            ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
             "-DVEXOLITH_PYTHON=ON", "-DVEXOLITH_TESTS=OFF", "-DVEXOLITH_BENCHMARKS=OFF",
             f"-DPYTHON_EXECUTABLE={sys.executable}"],
            check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "_vexolith", "-j", str(os.cpu_count() or 1)],
                       check=True)
        built = next((build / "python" / "vexolith").glob("_vexolith*.so"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(built, target)


setup(version=project_version(),
      ext_modules=[Extension("vexolith._vexolith", sources=[])],
      cmdclass={"build_ext": CMakeBuild})
