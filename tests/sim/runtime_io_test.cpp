// Console, devices the program defines, text files on the host, and the I/O check trap.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

namespace fs = std::filesystem;

// A string constant as the compiler places it after a call: length byte, characters and a
// blank when the byte count would be odd.
std::string inlineString(const std::string& text) {
  std::string padded = text + (text.size() % 2 == 0 ? " " : "");
  return "db " + std::to_string(text.size()) + ",'" + padded + "'";
}

std::string pushLong(const std::string& value) {
  return "mov.l #" + value + ",r0\nmov.l r0,@-sp\n";
}

std::string pushWord(int value) {
  return "mov.w #" + std::to_string(value) + ",r0\nmov.w r0,@-sp\n";
}

TEST(ConsoleTest, WritesCharactersStringsAndLineEnds) {
  SimRun run = runSnippet(pushWord('A') + pushLong("\\con") + "bsr \\tch\n" + "bsr \\lodsi\n" +
                          inlineString("hi") + "\n" + pushLong("\\con") + "bsr \\wrtlns\n" +
                          pushWord('!') + pushLong("\\con") + "bsr \\wrtlnc\n" + pushLong("\\con") +
                          "bsr \\crlf\n" + "bsr \\lodsi\n" + inlineString("oops") + "\n" +
                          pushLong("\\errdv") + "bsr \\writes");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.output, "Ahi\n!\n\n");
  EXPECT_EQ(run.messages, "oops");
}

TEST(ConsoleTest, ReadsCharactersWithLineEndsAndLines) {
  SimRun run = runSnippet(
      pushLong("\\con") + "bsr \\ich\nmov.b r0,@h'9000\n" + pushLong("\\con") +
          "bsr \\ich\nmov.b r0,@h'9001\n" + pushLong("\\con") + "bsr \\ich\nmov.b r0,@h'9002\n" +
          // READLN right after a READ that reached the line end gets the rest: nothing.
          pushLong("\\con") + "bsr \\readln\n" + pushWord(256) + pushLong("h'9100") +
          "bsr \\saves\n" + pushLong("\\con") + "bsr \\readln\n" + pushWord(256) +
          pushLong("h'9200") + "bsr \\saves\n" + pushLong("\\con") + "bsr \\ich\nmov.l r0,r4",
      CpuModel::H300H, "xy\r\nline two\n");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.memory().read8(0x9000), 'x');
  EXPECT_EQ(run.memory().read8(0x9001), 'y');
  EXPECT_EQ(run.memory().read8(0x9002), 13);
  EXPECT_EQ(run.memory().read8(0x9100), 0);
  EXPECT_EQ(run.memory().read8(0x9200), 8);
  EXPECT_EQ(run.memory().read8(0x9201), 'l');
  EXPECT_EQ(run.reg(4), 26u);  // ^Z at the end of the input
}

TEST(DeviceTest, ProgramDefinedDeviceCallsItsOutputAndInputRoutines) {
  // OUTROU stores r0's byte at the pointer kept at h'9600; INPROU answers 'Q'.
  SimRun run = runSnippet(
      "mov.l #OUT,r0\nmov.l r0,@h'9500\nmov.l #IN,r0\nmov.l r0,@h'9504\n"
      "mov.l #h'9700,r0\nmov.l r0,@h'9600\nbsr \\lodsi\n" +
      inlineString("hi") + "\n" + pushLong("h'9500") + "bsr \\wrtlns\n" + pushLong("h'9500") +
      "bsr \\ich\nmov.l r0,r4\nbra \\halt\n"
      "OUT:\tmov.l\t@h'9600,r1\n\tmov.b\tr0,@r1\n\tinc.l\t#1,r1\n\tmov.l\tr1,@h'9600\n\trts\n"
      "IN:\tmov.w\t#81,r0\n\trts");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  const uint8_t expected[] = {'h', 'i', 13, 10};
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(run.memory().read8(0x9700 + i), expected[i]) << i;
  EXPECT_EQ(run.reg(4), 81u);
}

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() /
        ("vorax_sim_files_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // ASSIGN(f, name) with f at h'9400.
  std::string assign(const std::string& name) {
    return pushLong("h'9400") + "bsr \\lodsi\n" + inlineString(name) + "\n" + pushWord(1) +
           "bsr \\assign\n";
  }
  std::string call(const std::string& routine, bool check = true) {
    return pushLong("h'9400") + "bsr \\" + routine + "\n" + (check ? "trapa #0\n" : "");
  }
  std::string path(const std::string& name) { return (folder_ / name).string(); }

  fs::path folder_;
};

TEST_F(FileTest, WritesReadsAndDetectsTheEnd) {
  std::string file = path("out.txt");
  SimRun run = runSnippet(
      assign(file) + call("rewrite") + "bsr \\lodsi\n" + inlineString("hello") + "\n" +
      pushLong("h'9400") + "bsr \\wrtlns\ntrapa #0\n" + pushWord('Z') + pushLong("h'9400") +
      "bsr \\tch\ntrapa #0\n" + call("close") + call("reset") + pushLong("h'9400") +
      "bsr \\rlnlst\ntrapa #0\n" + pushWord(256) + pushLong("h'9000") + "bsr \\saves\n" +
      call("eof") + "mov.l r0,r4\n" + pushLong("h'9400") + "bsr \\ich\nmov.l r0,r3\n" +
      call("eof") + "mov.l r0,r5\n" + call("filesize") + "mov.l r0,r2\n" + call("close"));
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  std::ifstream in(file, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "hello\r\nZ");
  EXPECT_EQ(run.memory().read8(0x9000), 5);
  EXPECT_EQ(run.reg(4), 0u);  // not at the end before the Z
  EXPECT_EQ(run.reg(3), static_cast<uint32_t>('Z'));
  EXPECT_EQ(run.reg(5), 1u);
  EXPECT_EQ(run.reg(2), 8u);
  EXPECT_EQ(run.memory().read16(0x8000 + 16), 0u);                  // IORESULT
  EXPECT_EQ(run.cpu().er[7], Runtime::areaStart(CpuModel::H300H));  // arguments all removed
}

TEST_F(FileTest, AppendBlocksAndTimeStamps) {
  std::string file = path("data.bin");
  std::ofstream(file, std::ios::binary) << "ab";
  // BLOCKWRITE 3 bytes from h'9000 after APPEND, then BLOCKREAD the whole file back into
  // h'9200; the count goes through the LONGINT at h'9600. GETFTIME into h'9700, SETFTIME
  // from h'9704 (1 January 2001, 12:00:00).
  SimRun run = runSnippet(
      "mov.l #h'78797a00,r0\nmov.l r0,@h'9000\n" + assign(file) + call("append") +
      "mov.l #3,r0\nmov.l r0,@h'9600\n" + pushLong("h'9400") + pushLong("h'9000") +
      pushLong("h'9600") + "bsr \\blockwrite\ntrapa #0\n" + call("close") + call("reset") +
      pushLong("h'9400") + pushLong("h'9200") + pushLong("h'9600") + "bsr \\blockread\ntrapa #0\n" +
      call("close") + "mov.l #h'2a216000,r0\nmov.l r0,@h'9704\n" + pushLong("h'9400") +
      pushLong("h'9704") + "bsr \\setftime\nmov.w \\ram+18,r4\n" + pushLong("h'9400") +
      pushLong("h'9700") + "bsr \\getftime\nmov.w \\ram+18,r5");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.memory().read32(0x9600), 5u);
  const char expected[] = "abxyz";
  for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(run.memory().read8(0x9200 + i), expected[i]) << i;
  EXPECT_EQ(run.reg(4, 2), 0u);
  EXPECT_EQ(run.reg(5, 2), 0u);
  EXPECT_EQ(run.memory().read32(0x9700), 0x2a216000u);
  EXPECT_EQ(run.cpu().er[7], Runtime::areaStart(CpuModel::H300H));
}

TEST_F(FileTest, ChangeAndRemoveDirectories) {
  std::string sub = path("gone");
  fs::create_directories(sub);
  fs::path before = fs::current_path();
  SimRun run = runSnippet("bsr \\lodsi\n" + inlineString(folder_.string()) +
                          "\nbsr \\chdir\ntrapa #0\nbsr \\lodsi\n" + inlineString("gone") +
                          "\nbsr \\rmdir\ntrapa #0\nbsr \\lodsi\n" + inlineString("gone") +
                          "\nbsr \\rmdir\nmov.w \\ram+16,r4");
  fs::path during = fs::current_path();
  fs::current_path(before);
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(fs::canonical(during), fs::canonical(folder_));
  EXPECT_FALSE(fs::exists(sub));
  EXPECT_EQ(run.reg(4, 2), 3u);  // path not found the second time
  EXPECT_EQ(run.cpu().er[7], Runtime::areaStart(CpuModel::H300H));
}

TEST_F(FileTest, IoCheckTrapStopsOnAnError) {
  SimRun run = runSnippet(assign(path("missing.txt")) + call("reset"));
  EXPECT_EQ(run.status, ExitStatus::kIoError);
  EXPECT_NE(run.messages.find("I/O error 2"), std::string::npos) << run.messages;
  EXPECT_NE(run.messages.find("(snippet.asm:14)"), std::string::npos) << run.messages;
}

TEST_F(FileTest, WithoutTheCheckIoResultIsLeftForTheProgram) {
  SimRun run = runSnippet(assign(path("missing.txt")) + call("reset", false) +
                          "mov.w \\ram+16,r4\n" + call("close", false) + "mov.w \\ram+16,r5");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(4, 2), 2u);    // file not found
  EXPECT_EQ(run.reg(5, 2), 103u);  // file not open
}

TEST_F(FileTest, UnassignedFileVariableReportsNotAssigned) {
  SimRun run = runSnippet(call("reset", false) + "mov.w \\ram+16,r4");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(4, 2), 102u);
}

TEST_F(FileTest, DirectoriesRenameEraseAndSearch) {
  std::ofstream(path("a1.dat")) << "12345";
  std::ofstream(path("b.txt")) << "x";
  std::string sub = path("sub");
  std::string pattern = path("*.DAT");
  SimRun run =
      runSnippet("bsr \\lodsi\n" + inlineString(sub) + "\nbsr \\mkdir\ntrapa #0\n" +
                 "bsr \\lodsi\n" + inlineString(pattern) + "\n" + pushWord(0) + pushLong("h'9800") +
                 "bsr \\findfirst\nmov.w \\ram+18,r4\n" + pushLong("h'9800") +
                 "bsr \\findnext\nmov.w \\ram+18,r5\n" + assign(path("b.txt")) +
                 pushLong("h'9400") + "bsr \\lodsi\n" + inlineString(path("c.txt")) +
                 "\nbsr \\rename\nmov.w \\ram+16,r3\n" + call("erase"));
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_TRUE(fs::is_directory(sub));
  EXPECT_EQ(run.reg(4, 2), 0u);
  EXPECT_EQ(run.reg(5, 2), 18u);  // no more files
  EXPECT_EQ(run.memory().read32(0x9800 + 6), 5u);
  EXPECT_EQ(run.memory().read8(0x9800 + 10), 6);
  EXPECT_EQ(run.memory().read8(0x9800 + 11), 'a');
  EXPECT_EQ(run.reg(3, 2), 0u);
  EXPECT_FALSE(fs::exists(path("b.txt")));
  EXPECT_FALSE(fs::exists(path("c.txt")));
  EXPECT_EQ(run.cpu().er[7], Runtime::areaStart(CpuModel::H300H));
}

}  // namespace
}  // namespace vorax::sim::testing
