// The doubles answer a test's script of results call by call; a wrong index would make a
// "refuse, then accept" password test pass or fail for the wrong reason.
#include "double_log.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

class DoubleLog : public testing::Test {
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path_ = std::string(dir) + "kestoral_double_log_test.txt";
        DeleteFileA(path_.c_str());
        SetEnvironmentVariableA("KESTORAL_DOUBLE_LOG", path_.c_str());
    }
    void TearDown() override
    {
        DeleteFileA(path_.c_str());
        SetEnvironmentVariableA("KESTORAL_DOUBLE_LOG", nullptr);
        SetEnvironmentVariableA("KESTORAL_TEST_RESULTS", nullptr);
    }
    std::string Contents()
    {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string path_;
};

TEST_F(DoubleLog, ResultsFollowTheListAndTheLastOneRepeats)
{
    SetEnvironmentVariableA("KESTORAL_TEST_RESULTS", "0,7,1");
    EXPECT_EQ(ResultForCall("KESTORAL_TEST_RESULTS", 0, 5), 0);
    EXPECT_EQ(ResultForCall("KESTORAL_TEST_RESULTS", 1, 5), 7);
    EXPECT_EQ(ResultForCall("KESTORAL_TEST_RESULTS", 2, 5), 1);
    EXPECT_EQ(ResultForCall("KESTORAL_TEST_RESULTS", 9, 5), 1);
}

TEST_F(DoubleLog, UnsetOrEmptyListGivesTheFallback)
{
    EXPECT_EQ(ResultForCall("KESTORAL_TEST_RESULTS", 0, 5), 5);
    SetEnvironmentVariableA("KESTORAL_TEST_RESULTS", "");
    EXPECT_EQ(ResultForCall("KESTORAL_TEST_RESULTS", 3, 5), 5);
}

TEST_F(DoubleLog, HexadecimalResultsAreRead)
{
    SetEnvironmentVariableA("KESTORAL_TEST_RESULTS", "0x4b8");
    EXPECT_EQ(ResultForCall("KESTORAL_TEST_RESULTS", 0, 0), 0x4b8);
}

TEST_F(DoubleLog, AppendsLinesAndCountsCallsPerFunction)
{
    EXPECT_EQ(CountCalls("VerifyScreenSavePwd"), 0);
    AppendCall("VerifyScreenSavePwd owner=1 result=0");
    AppendCall("PwdChangePasswordA provider=SCRSAVE owner=0 arg3=0 arg4=0");
    AppendCall("VerifyScreenSavePwd owner=2 result=1");
    EXPECT_EQ(CountCalls("VerifyScreenSavePwd"), 2);
    EXPECT_EQ(CountCalls("PwdChangePasswordA"), 1);
    EXPECT_EQ(Contents(), "VerifyScreenSavePwd owner=1 result=0\r\n"
                          "PwdChangePasswordA provider=SCRSAVE owner=0 arg3=0 arg4=0\r\n"
                          "VerifyScreenSavePwd owner=2 result=1\r\n");
}

TEST_F(DoubleLog, WithoutALogNothingIsWritten)
{
    SetEnvironmentVariableA("KESTORAL_DOUBLE_LOG", nullptr);
    AppendCall("VerifyScreenSavePwd owner=1 result=0");
    EXPECT_EQ(DoubleLogPath(), "");
    EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
