// The folder scan behind the dialog's movie list: folder part and pattern, which entries count
// as files and as sub-folders, depth-first order, and that the caller's list is only appended to.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "orvin_utils.h"
#include "test_files.h"

using kestoral::ScanFolder;
using namespace kestoral::test;
using List = std::vector<std::string>;

namespace {

List Sorted(List list) {
    std::sort(list.begin(), list.end());
    return list;
}

// Movies\ with a.swf, B.SWF, hidden h.swf, read-only r.swf, system s.swf, notes.txt and a
// folder named x.swf; below it Sub\ (c.swf, Sub\Deep\f.swf), Sub2\ (g.swf), .cache\ (d.swf)
// and a hidden Hid\ (e.swf).
class ScanFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        movies = MakeScratchFolder("scan");
        for (const char* name : {"a.swf", "B.SWF", "h.swf", "r.swf", "s.swf", "notes.txt"}) WriteFile(movies + name, "x");
        SetAttributes(movies + "h.swf", FILE_ATTRIBUTE_HIDDEN);
        SetAttributes(movies + "r.swf", FILE_ATTRIBUTE_READONLY);
        SetAttributes(movies + "s.swf", FILE_ATTRIBUTE_SYSTEM);
        MakeFolder(movies + "x.swf");
        for (const char* folder : {"Sub", "Sub\\Deep", "Sub2", ".cache", "Hid"}) MakeFolder(movies + folder);
        WriteFile(movies + "Sub\\c.swf", "x");
        WriteFile(movies + "Sub\\Deep\\f.swf", "x");
        WriteFile(movies + "Sub2\\g.swf", "x");
        WriteFile(movies + ".cache\\d.swf", "x");
        WriteFile(movies + "Hid\\e.swf", "x");
        SetAttributes(movies + "Hid", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    }
    void TearDown() override { RemoveTree(movies); }

    std::string movies;  // ends with a backslash
};

TEST_F(ScanFolderTest, PatternsWithoutAnExistingFolderFailAndLeaveTheListAlone) {
    List list = {"kept"};
    EXPECT_FALSE(ScanFolder("*.swf", false, list)) << "no folder part";
    EXPECT_FALSE(ScanFolder(movies + "Missing\\*.swf", false, list)) << "folder does not exist";
    EXPECT_FALSE(ScanFolder(movies + "a.swf\\*.swf", false, list)) << "a file is not a folder";
    EXPECT_EQ(list, List{"kept"});
}

TEST_F(ScanFolderTest, EmptyFolderAndEmptyPatternSucceedWithNothingFound) {
    const std::string empty = MakeScratchFolder("scan-empty");
    List list;
    EXPECT_TRUE(ScanFolder(empty + "*.swf", false, list));
    EXPECT_TRUE(ScanFolder(movies, false, list)) << "empty file pattern";
    EXPECT_TRUE(ScanFolder(movies, true, list)) << "empty file pattern, with sub-folders";
    EXPECT_TRUE(list.empty()) << list.front();
    RemoveTree(empty);
}

TEST_F(ScanFolderTest, ListsHiddenAndReadOnlyFilesButNotSystemFilesFoldersOrOtherNames) {
    List list;
    ASSERT_TRUE(ScanFolder(movies + "*.swf", false, list));
    EXPECT_EQ(Sorted(list), (List{movies + "B.SWF", movies + "a.swf", movies + "h.swf", movies + "r.swf"}));
}

TEST_F(ScanFolderTest, AppendsAfterWhatTheListHeldWithoutSortingOrRemovingDuplicates) {
    List list = {"zz-first", movies + "a.swf"};
    ASSERT_TRUE(ScanFolder(movies + "a.swf", false, list));
    EXPECT_EQ(list, (List{"zz-first", movies + "a.swf", movies + "a.swf"}));
}

TEST_F(ScanFolderTest, WithoutDescendSubFoldersAreNeverScanned) {
    List list;
    ASSERT_TRUE(ScanFolder(movies + "*.*", false, list));
    for (const std::string& path : list) EXPECT_EQ(path.find('\\', movies.size()), std::string::npos) << path;
}

TEST_F(ScanFolderTest, DescendIsDepthFirstAndSkipsHiddenAndDotFolders) {
    List list;
    ASSERT_TRUE(ScanFolder(movies + "*.swf", true, list));
    ASSERT_EQ(list.size(), 7u);
    // The folder's own files come first.
    EXPECT_EQ(Sorted(List(list.begin(), list.begin() + 4)),
              (List{movies + "B.SWF", movies + "a.swf", movies + "h.swf", movies + "r.swf"}));
    // Then each sub-folder with everything below it, before the next sub-folder.
    const List rest(list.begin() + 4, list.end());
    const List subFirst = {movies + "Sub\\c.swf", movies + "Sub\\Deep\\f.swf", movies + "Sub2\\g.swf"};
    const List sub2First = {movies + "Sub2\\g.swf", movies + "Sub\\c.swf", movies + "Sub\\Deep\\f.swf"};
    EXPECT_TRUE(rest == subFirst || rest == sub2First) << rest[0] << " " << rest[1] << " " << rest[2];
}

TEST_F(ScanFolderTest, APatternInAFolderThatDoesNotEndInABackslashUsesTheDriveRoot) {
    // "C:*.swf" means the root of drive C, whatever the current folder of that drive is.
    WriteFile("C:\\kestoral-root-scan.swf", "x");
    const std::string previous = [] {
        char buffer[MAX_PATH] = "";
        ::GetCurrentDirectoryA(sizeof buffer, buffer);
        return std::string(buffer);
    }();
    ::SetCurrentDirectoryA(movies.c_str());
    List list;
    const bool ok = ScanFolder("C:kestoral-root-*.swf", false, list);
    ::SetCurrentDirectoryA(previous.c_str());
    ::DeleteFileA("C:\\kestoral-root-scan.swf");
    EXPECT_TRUE(ok);
    EXPECT_EQ(list, List{"C:\\kestoral-root-scan.swf"});
}

}  // namespace
