// The built library exports exactly the names of its interface: plain names
// undecorated, overloads and class members under their C++ names.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
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

// Defined dynamic symbols, demangled, without their version suffix.
std::set<std::string> ReadExported() {
  std::set<std::string> names;
  std::string cmd = std::string("nm -D -C --defined-only '") + VEXOLITH_LIBRARY_FILE + "'";
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return names;
  char buf[4096];
  while (fgets(buf, sizeof buf, pipe)) {
    std::string line(buf);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    // "<address> <type> <name>"
    size_t first = line.find(' ');
    if (first == std::string::npos) continue;
    size_t second = line.find(' ', first + 1);
    if (second == std::string::npos) continue;
    char type = line[first + 1];
    std::string name = line.substr(second + 1);
    if (type == 'A') continue;  // version node names
    size_t at = name.find('@');
    if (at != std::string::npos) name.resize(at);
    names.insert(name);
  }
  pclose(pipe);
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
  std::string cmd = std::string("nm -D --defined-only '") + VEXOLITH_LIBRARY_FILE + "'";
  FILE* pipe = popen(cmd.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string all;
  char buf[4096];
  while (fgets(buf, sizeof buf, pipe)) all += buf;
  pclose(pipe);
  // A single '@' marks a non-default version: unversioned references, such as
  // a host's call of the C library's round(), never bind to it.
  EXPECT_NE(all.find(" round@VEXOLITH_1\n"), std::string::npos);
  EXPECT_NE(all.find(" CopyIMG@@VEXOLITH_1\n"), std::string::npos);
}

}  // namespace
