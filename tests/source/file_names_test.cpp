#include "source/file_names.h"

#include <gtest/gtest.h>

namespace vorax {
namespace {

TEST(FileNames, SplitNamesAtEitherSeparator) {
  EXPECT_EQ(directoryPart("C:\\work\\demo.pas"), "C:\\work\\");
  EXPECT_EQ(directoryPart("src/sub\\demo.pas"), "src/sub\\");
  EXPECT_EQ(directoryPart("demo.pas"), "");
  EXPECT_EQ(fileNamePart("src/sub\\demo.pas"), "demo.pas");
  EXPECT_EQ(extensionOf("dir.v2/demo"), "");
  EXPECT_EQ(extensionOf("dir/demo.Pas"), ".Pas");
  EXPECT_EQ(extensionOf("demo."), ".");
}

TEST(FileNames, ReplaceOrAddTheExtension) {
  EXPECT_EQ(withExtension("UTIL", ".pas"), "UTIL.pas");
  EXPECT_EQ(withExtension("UTIL.INC", ".pas"), "UTIL.pas");
  EXPECT_EQ(withExtension("..\\LIB.V2\\UTIL", ".asm"), "..\\LIB.V2\\UTIL.asm");
  EXPECT_EQ(withExtension("a.b.c", ".asm"), "a.b.asm");
}

TEST(FileNames, AbsoluteNamesStartWithASeparatorOrADrive) {
  EXPECT_TRUE(isAbsoluteName("\\lib\\x"));
  EXPECT_TRUE(isAbsoluteName("/lib/x"));
  EXPECT_TRUE(isAbsoluteName("C:X"));
  EXPECT_TRUE(isAbsoluteName("d:\\x"));
  EXPECT_FALSE(isAbsoluteName("lib\\x"));
  EXPECT_FALSE(isAbsoluteName("1:x"));
  EXPECT_FALSE(isAbsoluteName(""));
}

TEST(FileNames, UpperCaseLeavesShiftJisSecondBytesAlone) {
  EXPECT_EQ(upperCaseName("demo.pas"), "DEMO.PAS");
  // 0x83 0x61 is one character; the 0x61 must not become "A"
  EXPECT_EQ(upperCaseName("\x83"
                          "a"
                          "b"),
            "\x83"
            "a"
            "B");
}

}  // namespace
}  // namespace vorax
