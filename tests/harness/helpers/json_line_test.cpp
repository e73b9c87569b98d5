// The helpers' JSON must parse on the Python side whatever a window title holds.
#include "json_line.h"

#include <gtest/gtest.h>

TEST(JsonQuoted, EscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(JsonQuoted("plain"), "\"plain\"");
    EXPECT_EQ(JsonQuoted("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonQuoted("1\n2\r3\t4"), "\"1\\n2\\r3\\t4\"");
    EXPECT_EQ(JsonQuoted(std::string("\x01\x1f", 2)), "\"\\u0001\\u001f\"");
}

TEST(JsonQuoted, PassesAnsiBytesThrough)
{
    // "Ä" in code page 1252: the reader decodes the line as that code page.
    EXPECT_EQ(JsonQuoted("\xc4"), "\"\xc4\"");
}

TEST(JsonLine, JoinsFieldsOfEveryKindInOrder)
{
    JsonLine line;
    line.Add("class", "Shell_TrayWnd")
        .Add("style", std::int64_t{-2147483648LL})
        .Add("visible", true)
        .Add("rect", std::vector<std::int64_t>{0, -1, 1280, 720});
    EXPECT_EQ(line.Str(),
              "{\"class\":\"Shell_TrayWnd\",\"style\":-2147483648,\"visible\":true,"
              "\"rect\":[0,-1,1280,720]}");
}

TEST(JsonLine, EmptyObjectAndEmptyArray)
{
    EXPECT_EQ(JsonLine().Str(), "{}");
    EXPECT_EQ(JsonLine().Add("a", std::vector<std::int64_t>{}).Str(), "{\"a\":[]}");
}
