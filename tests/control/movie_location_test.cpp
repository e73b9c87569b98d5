// The Movie property's text turned into a local path: plain paths, the file: URL forms hosts
// write, escapes, and the schemes the control does not fetch.
#include <gtest/gtest.h>

#include <string>

#include "movie_location.h"

using swfctl::LocalPathFromMovie;

namespace {

std::wstring PathOf(const std::wstring& movie) {
    std::wstring path = L"<untouched>";
    return LocalPathFromMovie(movie, path) ? path : L"<rejected:" + path + L">";
}

}  // namespace

TEST(MovieLocation, PlainPathsPassUnchanged) {
    EXPECT_EQ(PathOf(L"C:\\movies\\a.swf"), L"C:\\movies\\a.swf");
    EXPECT_EQ(PathOf(L"\\\\server\\share\\a.swf"), L"\\\\server\\share\\a.swf");
    EXPECT_EQ(PathOf(L"relative\\a.swf"), L"relative\\a.swf");
}

TEST(MovieLocation, FileUrlsBecomeLocalPaths) {
    EXPECT_EQ(PathOf(L"file:///C:/movies/a.swf"), L"C:\\movies\\a.swf");
    EXPECT_EQ(PathOf(L"FILE:///c:/movies/a.swf"), L"c:\\movies\\a.swf");
    EXPECT_EQ(PathOf(L"file://C:/movies/a.swf"), L"C:\\movies\\a.swf");
    EXPECT_EQ(PathOf(L"file:C:\\movies\\a.swf"), L"C:\\movies\\a.swf");
    EXPECT_EQ(PathOf(L"file:///C|/movies/a.swf"), L"C:\\movies\\a.swf");
    EXPECT_EQ(PathOf(L"file://localhost/C:/movies/a.swf"), L"C:\\movies\\a.swf");
    EXPECT_EQ(PathOf(L"file://server/share/a.swf"), L"\\\\server\\share\\a.swf");
}

TEST(MovieLocation, EscapesAreUtf8Bytes) {
    EXPECT_EQ(PathOf(L"file:///C:/my%20movies/a%2Bb.swf"), L"C:\\my movies\\a+b.swf");
    EXPECT_EQ(PathOf(L"file:///C:/M%C3%BCnchen.swf"), L"C:\\M\u00FCnchen.swf");
    EXPECT_EQ(PathOf(L"file:///C:/100%.swf"), L"C:\\100%.swf") << "a lone % stays";
    EXPECT_EQ(PathOf(L"file:///C:/bad%FF.swf"), L"C:\\bad\u00FF.swf") << "a byte that is not UTF-8";
}

TEST(MovieLocation, OtherSchemesAreRejected) {
    EXPECT_EQ(PathOf(L"http://example.com/a.swf"), L"<rejected:<untouched>>");
    EXPECT_EQ(PathOf(L"ftp://example.com/a.swf"), L"<rejected:<untouched>>");
    EXPECT_EQ(PathOf(L"file:"), L"<rejected:>");
}
