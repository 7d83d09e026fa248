// The error trace: the pieces, their bounds, repeated lines, and the result code names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/error_trace.h"
#include "platform/fake/fake_clock.h"
#include "support/trace_capture.h"

namespace {

using ErrorTraceTest = TraceCaptureTest;

TEST_F(ErrorTraceTest, WritesFileLineMessageAndNamedCodeAsSeparatePieces) {
  EXPECT_EQ(TraceError("directsound", 63, DSERR_NODRIVER, "DirectSoundCreate8"), DSERR_NODRIVER);
  std::vector<std::string> expected = {"directsound(63): ", "DirectSoundCreate8 ", "hr=DSERR_NODRIVER (0x88780078)",
                                       "\n"};
  EXPECT_EQ(TracedPieces(), expected);
}

TEST_F(ErrorTraceTest, LeavesOutTheFilePieceWithoutAFile) {
  TraceError(nullptr, 12, E_FAIL, "Lock");
  std::vector<std::string> expected = {"Lock ", "hr=E_FAIL (0x80004005)", "\n"};
  EXPECT_EQ(TracedPieces(), expected);
}

TEST_F(ErrorTraceTest, UnnamedCodeIsUnknownWithItsEightDigits) {
  TraceError("directsound", 7, MakeResult(0x12345678), "");
  std::vector<std::string> expected = {"directsound(7): ", "hr=Unknown (0x12345678)", "\n"};
  EXPECT_EQ(TracedPieces(), expected);
  StartTraceCapture();
  TraceError(nullptr, 0, MakeResult(0x0000002A), nullptr);
  EXPECT_EQ(TracedPieces().front(), "hr=Unknown (0x0000002a)");
}

TEST_F(ErrorTraceTest, MessageIsWrittenOnlyUpTo1023Characters) {
  std::string longest(1023, 'm');
  TraceError(nullptr, 1, E_FAIL, longest.c_str());
  ASSERT_EQ(TracedPieces().size(), 3u);
  EXPECT_EQ(TracedPieces()[0], longest + " ");

  StartTraceCapture();
  std::string tooLong(1024, 'm');
  TraceError(nullptr, 1, E_FAIL, tooLong.c_str());
  ASSERT_EQ(TracedPieces().size(), 2u);
  EXPECT_EQ(TracedPieces()[0], "hr=E_FAIL (0x80004005)");
}

TEST_F(ErrorTraceTest, OverlongFileNameIsCutAtThePieceBound) {
  std::string file(5000, 'f');
  TraceError(file.c_str(), 4294967295u, S_OK, nullptr);
  ASSERT_EQ(TracedPieces().size(), 3u);
  EXPECT_EQ(TracedPieces()[0], std::string(2999, 'f'));
  // The line of a short name keeps every digit of the largest line number.
  StartTraceCapture();
  TraceError("a", 4294967295u, S_OK, nullptr);
  EXPECT_EQ(TracedPieces()[0], "a(4294967295): ");
}

TEST_F(ErrorTraceTest, ReturnsTheCodeWhateverItIs) {
  for (uint32_t value : {0x00000000u, 0x00000001u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0x88780096u}) {
    EXPECT_EQ(TraceError(nullptr, 0, MakeResult(value), "x"), MakeResult(value));
  }
}

// A lost sound device while a key is held: the same failure every frame, 50 times a second.
TEST_F(ErrorTraceTest, ARepeatedLineIsCountedAndTheCountWrittenOnceASecondOrWhenTheLineChanges) {
  const std::string lost = "directsound(200): RestoreBuffer hr=DSERR_BUFFERLOST (0x88780096)";
  const std::string lock = "directsound(193): Lock hr=E_FAIL (0x80004005)";
  auto traceLost = [] { TraceError("directsound", 200, DSERR_BUFFERLOST, "RestoreBuffer"); };
  for (int frame = 0; frame < 50; frame++) {
    traceLost();
    AdvanceTickCount(20);
  }
  EXPECT_EQ(TracedLines(), std::vector<std::string>{lost}) << "the count began at the first repeat, 980 ms ago";
  traceLost();
  TraceError("directsound", 193, E_FAIL, "Lock");
  TraceError("directsound", 193, E_FAIL, "Lock");
  traceLost();
  traceLost();
  traceLost();
  traceLost();
  EXPECT_EQ(TracedLines(),
            (std::vector<std::string>{lost, "last line repeated 50 times", lock, "last line repeated once", lost}));

  // A new sink takes the count still held by the old one, and starts with no last line.
  StartTraceCapture();
  EXPECT_EQ(TracedLines(), std::vector<std::string>{"last line repeated 3 times"});
  traceLost();
  EXPECT_EQ(TracedLines().back(), lost);

  // At the process's end a count still held is written.
  EXPECT_EXIT(
      {
        SetTraceSink(nullptr);
        traceLost();
        traceLost();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "RestoreBuffer hr=DSERR_BUFFERLOST \\(0x88780096\\)\nlast line repeated once\n");
}

TEST(ErrorCodeNameTest, SharedValuesGetTheCommonName) {
  EXPECT_STREQ(ErrorCodeName(S_OK), "S_OK");
  EXPECT_STREQ(ErrorCodeName(S_FALSE), "S_FALSE");
  EXPECT_STREQ(ErrorCodeName(E_FAIL), "E_FAIL");
  EXPECT_STREQ(ErrorCodeName(E_INVALIDARG), "E_INVALIDARG");
  EXPECT_STREQ(ErrorCodeName(E_OUTOFMEMORY), "E_OUTOFMEMORY");
  EXPECT_STREQ(ErrorCodeName(MakeResult(0x80070005)), "E_ACCESSDENIED");
  EXPECT_STREQ(ErrorCodeName(MakeResult(0x80004001)), "E_NOTIMPL");
}

TEST(ErrorCodeNameTest, NamesEachFamilyAsPublished) {
  EXPECT_STREQ(ErrorCodeName(CO_E_NOTINITIALIZED), "CO_E_NOTINITIALIZED");
  EXPECT_STREQ(ErrorCodeName(DSERR_BUFFERLOST), "DSERR_BUFFERLOST");
  EXPECT_STREQ(ErrorCodeName(DS_NO_VIRTUALIZATION), "DS_NO_VIRTUALIZATION");
  EXPECT_STREQ(ErrorCodeName(MakeResult(0x88781161)), "DSERR_OBJECTNOTFOUND");
  EXPECT_STREQ(ErrorCodeName(D3DERR_INVALIDCALL), "D3DERR_INVALIDCALL");
  EXPECT_STREQ(ErrorCodeName(MakeResult(0x08760878)), "S_PRESENT_OCCLUDED");
  EXPECT_STREQ(ErrorCodeName(MakeResult(0x88760B59)), "D3DXERR_INVALIDDATA");
  EXPECT_STREQ(ErrorCodeName(MakeResult(0x80070002)), "ERROR_FILE_NOT_FOUND");
  EXPECT_STREQ(ErrorCodeName(MakeResult(0x8007048F)), "ERROR_DEVICE_NOT_CONNECTED");
  EXPECT_STREQ(ErrorCodeName(MakeResult(0x80040209)), "DIERR_UNPLUGGED");
  // System errors are named in their result-code form only.
  EXPECT_STREQ(ErrorCodeName(MakeResult(0x48F)), "Unknown");
}

}  // namespace
