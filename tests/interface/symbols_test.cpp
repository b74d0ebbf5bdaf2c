// The built library exports exactly the names of its interface: plain names
// undecorated, overloads and class members under their C++ names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> ReadExpected() {
  std::set<std::string> names;
  std::ifstream in(VEXOLITH_EXPECTED_SYMBOLS);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] != '#') names.insert(line);
  }
  return names;
}

// What nm prints of the library's defined dynamic symbols with `flags`.
std::string Nm(const std::string& flags) {
  std::string all;
  FILE* pipe = popen(("nm -D --defined-only " + flags + " '" VEXOLITH_LIBRARY_FILE "'").c_str(), "r");
  if (!pipe) return all;
  char buf[4096];
  while (fgets(buf, sizeof buf, pipe)) all += buf;
  pclose(pipe);
  return all;
}

// Defined dynamic symbols, demangled, without their version suffix.
std::set<std::string> ReadExported() {
  std::set<std::string> names;
  std::istringstream lines(Nm("-C"));
  for (std::string line; std::getline(lines, line);) {
    // "<address> <type> <name>"; type A marks version node names.
    const size_t first = line.find(' '), second = line.find(' ', first + 1);
    if (second == std::string::npos || line[first + 1] == 'A') continue;
    std::string name = line.substr(second + 1);
    name.resize(std::min(name.size(), name.find('@')));
    names.insert(name);
  }
  return names;
}

TEST(ExportedSymbols, ExactlyTheInterface) {
  std::set<std::string> expected = ReadExpected();
  std::set<std::string> exported = ReadExported();
  ASSERT_FALSE(expected.empty());
  ASSERT_FALSE(exported.empty()) << "could not read the dynamic symbols of " << VEXOLITH_LIBRARY_FILE;
  for (const auto& name : expected) EXPECT_TRUE(exported.count(name)) << "missing: " << name;
  for (const auto& name : exported) EXPECT_TRUE(expected.count(name)) << "unexpected: " << name;
}

// The reader's names are the only ones in namespace vexolith, and every one
// of them is listed under the reader's heading of the expected list.
TEST(ExportedSymbols, TheReadersNamesLiveInTheirNamespace) {
  std::set<std::string> reader;
  std::ifstream in(VEXOLITH_EXPECTED_SYMBOLS);
  bool in_reader = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '#') in_reader = line.rfind("# Reader", 0) == 0;
    else if (in_reader && !line.empty()) reader.insert(line);
  }
  EXPECT_EQ(reader.size(), 4u) << "Read, ReadFile, DrawReading, RefineFigure";
  for (const auto& name : ReadExported()) {
    const bool in_namespace = name.rfind("vexolith::", 0) == 0;
    EXPECT_EQ(in_namespace, reader.count(name) == 1) << name;
  }
}

TEST(ExportedSymbols, RoundHasAVersionOfItsOwn) {
  const std::string all = Nm("");
  // A single '@' marks a non-default version: unversioned references, such as
  // a host's call of the C library's round(), never bind to it.
  EXPECT_NE(all.find(" round@VEXOLITH_1\n"), std::string::npos);
  EXPECT_NE(all.find(" CopyIMG@@VEXOLITH_1\n"), std::string::npos);
}

}  // namespace
