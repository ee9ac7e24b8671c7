#include "KernelTestSupport.h"

#include "platform/kernel/Encoding.h"
#include "platform/kernel/Profile.h"

#include <chrono>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::kernel {
namespace {

using testing::ScratchTest;

class ProfileTest : public ScratchTest {
protected:
    std::string file() const { return driveC + "/T.ini"; }
    // The same file as the program names it.
    static constexpr const char* kWin = "C:\\T.ini";
    ProfileString get(std::string_view s, std::string_view k, std::string_view d = {}, int size = 1024) {
        return getProfileString(kWin, s, k, d, size);
    }
};

// Section "[ゾ表]" has "]" (0x5D) as the trail byte of its first character, key "能ソ" ends in
// the trail byte "\" (0x5C).
const std::string kJapaneseFile =
    "[\x83\x5D\x95\x5C]\r\n"
    "\x94\x5C\x83\x5C=\x95\x5C\x83\x5C\r\n"
    "[Other]\r\n"
    "X=1\r\n";

TEST_F(ProfileTest, ReadsHandWrittenCp932FileWithTrailBytesThatLookLikeAscii) {
    writeBytes(file(), kJapaneseFile);
    ProfileString v = get("ゾ表", "能ソ");
    EXPECT_TRUE(v.found);
    EXPECT_EQ(v.text, "表ソ");
    EXPECT_EQ(v.length, 4);   // CP932 bytes
    EXPECT_EQ(get("other", "x").text, "1");
    // A byte-wise scan would have cut the section name at the trail byte.
    EXPECT_FALSE(get("\x83", "能ソ").found);
}

TEST_F(ProfileTest, NamesAreCaseInsensitiveAndTrimmedValuesTrimmed) {
    writeBytes(file(), "  [ Mixed Case ]  \r\n\t KeyName \t=  some value\t \r\n");
    EXPECT_EQ(get("mixed case", "KEYNAME").text, "some value");
    EXPECT_EQ(get("  MIXED CASE\t", " keyname ").text, "some value");
    // Full-width letters are not ASCII: no folding.
    writeBytes(file(), "[Ａ]\r\nk=1\r\n");
    EXPECT_FALSE(get("ａ", "k").found);
}

TEST_F(ProfileTest, EnclosingQuotesAreRemovedOnlyWhenTheyMatch) {
    writeBytes(file(),
               "[Q]\r\n"
               "a=\"  padded  \"\r\n"
               "b='single'\r\n"
               "c=\"mismatched'\r\n"
               "d=\"\r\n"
               "e=\"\"\r\n"
               "f=\"inner\" text\"\r\n");
    EXPECT_EQ(get("Q", "a").text, "  padded  ");
    EXPECT_EQ(get("Q", "b").text, "single");
    EXPECT_EQ(get("Q", "c").text, "\"mismatched'");
    EXPECT_EQ(get("Q", "d").text, "\"");
    ProfileString e = get("Q", "e");
    EXPECT_EQ(e.text, "");
    EXPECT_EQ(e.length, 0);
    EXPECT_EQ(get("Q", "f").text, "inner\" text");
}

TEST_F(ProfileTest, DefaultsLoseTrailingBlanksAndQuotesWhenAnythingIsMissing) {
    EXPECT_EQ(get("S", "K", "  def  ").text, "  def");           // no file
    writeBytes(file(), "[S]\r\nOther=1\r\n");
    ProfileString noKey = get("S", "K", "'quoted'  ");
    EXPECT_FALSE(noKey.found);
    EXPECT_EQ(noKey.text, "quoted");
    EXPECT_EQ(noKey.length, 6);
    EXPECT_EQ(get("Missing", "Other", "d").text, "d");
    ProfileString empty = get("S", "K");
    EXPECT_EQ(empty.text, "");
    EXPECT_EQ(empty.length, 0);
    // An empty path reads the default.
    EXPECT_EQ(getProfileString("", "S", "Other", "x").text, "x");
}

TEST_F(ProfileTest, EmptyValueIsFoundWithLengthZero) {
    writeBytes(file(), "[S]\r\nK=\r\nL=   \r\n");
    ProfileString k = get("S", "K", "default");
    EXPECT_TRUE(k.found);
    EXPECT_EQ(k.length, 0);
    EXPECT_EQ(k.text, "");
    EXPECT_EQ(get("S", "L", "default").length, 0);
}

TEST_F(ProfileTest, LongValuesAreCutToTheBufferWithoutSplittingCharacters) {
    std::string longValue(1500, 'v');
    longValue[0] = 'a';
    writeBytes(file(), "[S]\r\nplain=" + longValue + "\r\nquoted=\"" + longValue + "\"\r\n");
    ProfileString plain = get("S", "plain");
    EXPECT_EQ(plain.length, 1023);
    EXPECT_EQ(plain.text, longValue.substr(0, 1023));
    ProfileString quoted = get("S", "quoted");
    EXPECT_EQ(quoted.length, 1023);   // the opening quote goes before the cut
    EXPECT_EQ(quoted.text, longValue.substr(0, 1023));

    // A double-byte character across the 1023rd byte is left out whole.
    std::string dbcs = std::string(1022, 'x') + "\x95\x5C" + "tail";
    writeBytes(file(), "[S]\r\nk=" + dbcs + "\r\n");
    ProfileString cut = get("S", "k");
    EXPECT_EQ(cut.length, 1022);
    EXPECT_EQ(cut.text, std::string(1022, 'x'));
    // Smaller buffers cut the same way, the default included.
    EXPECT_EQ(get("S", "k", {}, 5).text, "xxxx");
    EXPECT_EQ(get("S", "none", "表表表", 6).text, "表表");
    EXPECT_EQ(get("S", "none", "表表表", 6).length, 4);
}

TEST_F(ProfileTest, ALineThatIsOnlyTheKeyNameIsThatKeysLineForAWrite) {
    writeBytes(file(), "[S]\r\nFlag\r\nA=1\r\n");
    EXPECT_FALSE(get("S", "Flag").found);   // no "=": nothing to read
    ASSERT_TRUE(writeProfileString(kWin, "S", "flag", "on"));
    EXPECT_EQ(readBytes(file()), "[S]\r\nFlag=on\r\nA=1\r\n");
    EXPECT_EQ(get("S", "Flag").text, "on");
    // Blanks around it count as nothing; a bare line in another section is not it.
    writeBytes(file(), "[T]\r\nFlag\r\n[S]\r\n  Flag\t\r\nA=1\r\n");
    ASSERT_TRUE(writeProfileString(kWin, "S", "Flag", "x"));
    EXPECT_EQ(readBytes(file()), "[T]\r\nFlag\r\n[S]\r\nFlag=x\r\nA=1\r\n");
    ASSERT_TRUE(writeProfileString(kWin, "T", "Flag", std::nullopt));
    EXPECT_EQ(readBytes(file()), "[T]\r\n[S]\r\nFlag=x\r\nA=1\r\n");
}

TEST_F(ProfileTest, HeaderNamesRunToTheLastClosingBracket) {
    writeBytes(file(),
               "[X]y]\r\nk=1\r\n"
               "  [[Br]] trailing\r\nk=2\r\n"
               "[NoClose\r\nm=3\r\n");
    EXPECT_EQ(get("X]y", "k").text, "1");
    EXPECT_FALSE(get("X", "k").found);
    EXPECT_EQ(get("[Br]", "k").text, "2");
    EXPECT_EQ(get("[Br]", "m").text, "3");   // "[NoClose" is no header
    EXPECT_FALSE(get("NoClose", "m").found);
    // The trail byte 0x5D of a double-byte character closes nothing.
    writeBytes(file(), "[ABC\x83\x5D\r\nz=1\r\n");
    EXPECT_FALSE(get("ABC\x83", "z").found);
    EXPECT_EQ(get("", "z").text, "1");
    // A write to a section named with "]" finds it again.
    writeBytes(file(), "[X]y]\r\nk=1\r\n");
    ASSERT_TRUE(writeProfileString(kWin, "X]y", "k", "2"));
    EXPECT_EQ(readBytes(file()), "[X]y]\r\nk=2\r\n");
}

TEST_F(ProfileTest, LinesBeforeTheFirstHeaderAreTheEmptyNamedSection) {
    writeBytes(file(), "top=1\r\n[S]\r\nk=2\r\n");
    EXPECT_EQ(get("", "top").text, "1");
    EXPECT_FALSE(get("S", "top").found);
    ASSERT_TRUE(writeProfileString(kWin, "", "new", "x"));
    EXPECT_EQ(readBytes(file()), "top=1\r\nnew=x\r\n[S]\r\nk=2\r\n");
    ASSERT_TRUE(writeProfileString(kWin, "", "top", "9"));
    EXPECT_EQ(readBytes(file()), "top=9\r\nnew=x\r\n[S]\r\nk=2\r\n");
    ASSERT_TRUE(writeProfileString(kWin, "", std::nullopt, std::nullopt));
    EXPECT_EQ(readBytes(file()), "[S]\r\nk=2\r\n");
    // With nothing before the first header, the section "" is written as "[]" at the end.
    ASSERT_TRUE(writeProfileString(kWin, "", "a", "1"));
    EXPECT_EQ(readBytes(file()), "[S]\r\nk=2\r\n[]\r\na=1\r\n");
    EXPECT_EQ(get("", "a").text, "1");
}

// The bytes of a literal, NULs included.
template <std::size_t N>
std::string withNul(const char (&s)[N]) {
    return std::string(s, N - 1);
}

TEST_F(ProfileTest, ValuesEndAtNulAndAFinalCtrlZBelongsToNoValue) {
    writeBytes(file(), withNul("[S]\r\nk=ab\0cd \r\nz=1\x1A"));
    EXPECT_EQ(get("S", "k").text, "ab");
    EXPECT_EQ(get("S", "k").length, 2);
    EXPECT_EQ(get("S", "z").text, "1");
    ASSERT_TRUE(writeProfileString(kWin, "S", "z", "2"));
    EXPECT_EQ(readBytes(file()), withNul("[S]\r\nk=ab\0cd \r\nz=2\x1A"));
    ASSERT_TRUE(writeProfileString(kWin, "S", "q", "3"));
    EXPECT_EQ(readBytes(file()), withNul("[S]\r\nk=ab\0cd \r\nz=2\r\nq=3\r\n\x1A"));
    ASSERT_TRUE(writeProfileString(kWin, "T", "w", "4"));
    EXPECT_EQ(readBytes(file()),
              withNul("[S]\r\nk=ab\0cd \r\nz=2\r\nq=3\r\n[T]\r\nw=4\r\n\x1A"));
    EXPECT_EQ(get("T", "w").text, "4");
    // A Ctrl-Z inside the file is an ordinary byte.
    writeBytes(file(), "[S]\r\nk=a\x1A\r\n");
    EXPECT_EQ(get("S", "k").text, "a\x1A");
}

TEST_F(ProfileTest, CountsAndCutsAreCp932BytesAlsoForUtf8Files) {
    std::string many;
    for (int i = 0; i < 600; ++i) many += "あ";
    writeBytes(file(), "\xEF\xBB\xBF[S]\r\nk=" + many + "\r\nshort=表x\r\n");
    ProfileString v = get("S", "k");
    EXPECT_EQ(v.length, 1022);
    EXPECT_EQ(v.text, many.substr(0, 511 * 3));   // 511 characters
    ProfileString s = get("S", "short");
    EXPECT_EQ(s.length, 3);
    EXPECT_EQ(get("S", "short", {}, 3).text, "表");
    EXPECT_EQ(get("S", "short", {}, 3).length, 2);
}

TEST_F(ProfileTest, QuotesAreRemovedAroundTheCutAndDefaultsKeepTrailingTabs) {
    writeBytes(file(), "[S]\r\nq=\"abcdef\"\r\n");
    ProfileString cut = get("S", "q", {}, 7);
    EXPECT_EQ(cut.text, "abcde");
    EXPECT_EQ(cut.length, 5);
    EXPECT_EQ(get("S", "q", {}, 4).text, "abc");   // shorter than the rest: nothing more goes
    EXPECT_EQ(get("S", "none", "'表表'", 5).text, "表");   // a whole double-byte character goes
    EXPECT_EQ(get("S", "q", {}, 9).text, "abcdef");   // the closing quote kept by the cut
    EXPECT_EQ(get("S", "q", {}, 8).text, "abcdef");
    EXPECT_EQ(get("S", "none", "def\t  ").text, "def\t");
    EXPECT_EQ(get("S", "none", "def \t").text, "def \t");
}

TEST_F(ProfileTest, FirstOfDuplicatedSectionsAndKeysWinsForReadAndWrite) {
    writeBytes(file(), "[A]\r\nk=first\r\nk=second\r\n[a]\r\nk=third\r\nonly=later\r\n");
    EXPECT_EQ(get("A", "k").text, "first");
    EXPECT_FALSE(get("A", "only").found);
    ASSERT_TRUE(writeProfileString(kWin, "A", "k", "new"));
    EXPECT_EQ(readBytes(file()), "[A]\r\nk=new\r\nk=second\r\n[a]\r\nk=third\r\nonly=later\r\n");
    ASSERT_TRUE(writeProfileString(kWin, "A", "only", "here"));
    EXPECT_EQ(readBytes(file()), "[A]\r\nk=new\r\nk=second\r\nonly=here\r\n[a]\r\nk=third\r\nonly=later\r\n");
}

TEST_F(ProfileTest, KeysMayHoldQuotesParenthesesCommasAndArrows) {
    const std::string key = "pGraph->AddFilter(pSrc, L\"Video Capture\")";
    ASSERT_TRUE(writeProfileString(kWin, "ALL", key, "0"));
    ASSERT_TRUE(writeProfileString(kWin, "ALL", "eq", "a=b=c"));
    EXPECT_EQ(readBytes(file()), "[ALL]\r\n" + key + "=0\r\neq=a=b=c\r\n");
    EXPECT_EQ(get("ALL", key).text, "0");
    EXPECT_EQ(get("ALL", "eq").text, "a=b=c");   // only the first "=" splits
    EXPECT_FALSE(get("ALL", "pGraph->AddFilter(pSrc, L\"Video Capture\"").found);
}

TEST_F(ProfileTest, LineEndsCrLfLfAndCrAreAllRead) {
    writeBytes(file(), "[A]\nx=lf\n[B]\ry=cr\r[C]\r\nz=crlf");
    EXPECT_EQ(get("A", "x").text, "lf");
    EXPECT_EQ(get("B", "y").text, "cr");
    EXPECT_EQ(get("C", "z").text, "crlf");
}

TEST_F(ProfileTest, WriteChangesOnlyItsOwnLine) {
    const std::string original =
        "; comment\n"
        "[ A ]  \n"
        "X = 1\n"
        "\n"
        "Y=2\n"
        "\n"
        "\n"
        "[B]\r\n"
        "Z=3\r\n";
    writeBytes(file(), original);
    ASSERT_TRUE(writeProfileString(kWin, "a", "y", "22"));
    EXPECT_EQ(readBytes(file()),
              "; comment\n[ A ]  \nX = 1\n\nY=22\n\n\n[B]\r\nZ=3\r\n");
    // A new key goes right after the last key line; the blank lines stay after it.
    ASSERT_TRUE(writeProfileString(kWin, "A", "New", "v"));
    EXPECT_EQ(readBytes(file()),
              "; comment\n[ A ]  \nX = 1\n\nY=22\nNew=v\r\n\n\n[B]\r\nZ=3\r\n");
    // A new section is appended at the end.
    ASSERT_TRUE(writeProfileString(kWin, "C", "W", "4"));
    EXPECT_EQ(readBytes(file()),
              "; comment\n[ A ]  \nX = 1\n\nY=22\nNew=v\r\n\n\n[B]\r\nZ=3\r\n[C]\r\nW=4\r\n");
}

TEST_F(ProfileTest, WritingTheSameValueLeavesTheFileAlone) {
    writeBytes(file(), "[A]\nX = 1\n");
    ino_t before = inode(file());
    ASSERT_TRUE(writeProfileString(kWin, "A", "x", "1"));
    EXPECT_EQ(inode(file()), before);
    EXPECT_EQ(readBytes(file()), "[A]\nX = 1\n");
    ASSERT_TRUE(writeProfileString(kWin, "A", "x", "2"));
    EXPECT_EQ(readBytes(file()), "[A]\nX=2\n");   // the key keeps the file's spelling and line end
}

TEST_F(ProfileTest, WritesCreateTheFileButNotItsFolder) {
    ASSERT_TRUE(writeProfileString(kWin, "B", "Y", "2"));
    EXPECT_EQ(readBytes(file()), "[B]\r\nY=2\r\n");
    EXPECT_FALSE(writeProfileString("C:\\NoSuchFolder\\T.ini", "B", "Y", "2"));
    EXPECT_NE(lastProfileError().find("NoSuchFolder"), std::string::npos) << lastProfileError();
    EXPECT_FALSE(std::filesystem::exists(driveC + "/NoSuchFolder"));
    EXPECT_FALSE(writeProfileString("", "B", "Y", "2"));
}

TEST_F(ProfileTest, LastLineWithoutLineEndGetsOneBeforeAnAddition) {
    writeBytes(file(), "[A]");
    ASSERT_TRUE(writeProfileString(kWin, "A", "k", "v"));
    EXPECT_EQ(readBytes(file()), "[A]\r\nk=v\r\n");
    writeBytes(file(), "[A]\r\nk=v");
    ASSERT_TRUE(writeProfileString(kWin, "B", "k", "v"));
    EXPECT_EQ(readBytes(file()), "[A]\r\nk=v\r\n[B]\r\nk=v\r\n");
}

TEST_F(ProfileTest, MissingValueDeletesKeyMissingKeyDeletesSectionMissingSectionFails) {
    writeBytes(file(), "[A]\r\nk=1\r\nm=2\r\n\r\n[B]\r\nn=3\r\n[C]\r\no=4\r\n");
    ASSERT_TRUE(writeProfileString(kWin, "A", "K", std::nullopt));
    EXPECT_EQ(readBytes(file()), "[A]\r\nm=2\r\n\r\n[B]\r\nn=3\r\n[C]\r\no=4\r\n");
    ASSERT_TRUE(writeProfileString(kWin, "b", std::nullopt, std::nullopt));
    EXPECT_EQ(readBytes(file()), "[A]\r\nm=2\r\n\r\n[C]\r\no=4\r\n");
    // Nothing to delete still succeeds and changes nothing.
    EXPECT_TRUE(writeProfileString(kWin, "A", "gone", std::nullopt));
    EXPECT_TRUE(writeProfileString(kWin, "Gone", std::nullopt, std::nullopt));
    EXPECT_EQ(readBytes(file()), "[A]\r\nm=2\r\n\r\n[C]\r\no=4\r\n");
    EXPECT_FALSE(writeProfileString(kWin, std::nullopt, "m", "1"));
    // Deleting in a file that does not exist does not create it.
    EXPECT_TRUE(writeProfileString("C:\\None.ini", "A", "k", std::nullopt));
    EXPECT_FALSE(std::filesystem::exists(driveC + "/None.ini"));
}

TEST_F(ProfileTest, JapaneseNamesAndValuesAreWrittenAsCp932) {
    writeBytes(file(), kJapaneseFile);
    ASSERT_TRUE(writeProfileString(kWin, "ゾ表", "能ソ", "ソ"));
    ASSERT_TRUE(writeProfileString(kWin, "ゾ表", "表", "能"));
    ASSERT_TRUE(writeProfileString(kWin, "新", "～", "x"));
    EXPECT_EQ(readBytes(file()),
              "[\x83\x5D\x95\x5C]\r\n\x94\x5C\x83\x5C=\x83\x5C\r\n\x95\x5C=\x94\x5C\r\n"
              "[Other]\r\nX=1\r\n" +
                  utf8ToCp932("[新]") + "\r\n\x81\x60=x\r\n");
    EXPECT_EQ(get("新", "～").text, "x");
}

TEST_F(ProfileTest, Utf8FileWithByteOrderMarkStaysUtf8) {
    writeBytes(file(), "\xEF\xBB\xBF[設定]\r\n名前=値\r\n");
    EXPECT_EQ(get("設定", "名前").text, "値");
    ASSERT_TRUE(writeProfileString(kWin, "設定", "追加", "表"));
    EXPECT_EQ(readBytes(file()), "\xEF\xBB\xBF[設定]\r\n名前=値\r\n追加=表\r\n");
}

TEST_F(ProfileTest, Utf16FileIsNeitherReadNorWritten) {
    const std::string utf16("\xFF\xFE[\0A\0]\0", 8);
    writeBytes(file(), utf16);
    EXPECT_EQ(get("A", "k", "d").text, "d");
    EXPECT_FALSE(writeProfileString(kWin, "A", "k", "v"));
    EXPECT_EQ(readBytes(file()), utf16);
}

TEST_F(ProfileTest, ChangesMadeBehindTheCacheAreSeen) {
    ASSERT_TRUE(writeProfileString(kWin, "A", "k", "1"));
    EXPECT_EQ(get("A", "k").text, "1");
    // Same size, same second, written in place (same inode): only the bytes tell.
    writeBytes(file(), "[A]\r\nk=2\r\n");
    EXPECT_EQ(get("A", "k").text, "2");
    ASSERT_TRUE(writeProfileString(kWin, "A", "j", "3"));
    EXPECT_EQ(readBytes(file()), "[A]\r\nk=2\r\nj=3\r\n");
}

TEST_F(ProfileTest, BareFileNameLiesInTheProgramFolderAndCaseIsFound) {
    writeBytes(prog + "/Tolvane.ini", "[PLAY]\r\nSLEEP=250\r\n");
    EXPECT_EQ(getProfileString("tolvane.INI", "play", "sleep", "500").text, "250");
    EXPECT_EQ(profileFilePath("tolvane.INI"), prog + "/Tolvane.ini");
    EXPECT_EQ(getProfileString(prog + "/Tolvane.ini", "PLAY", "SLEEP").text, "250");   // a Linux path
}

TEST_F(ProfileTest, ReplacingKeepsTheFileModeAndTheSymbolicLink) {
    writeBytes(file(), "[A]\r\nk=1\r\n");
    ::chmod(file().c_str(), 0640);
    std::filesystem::create_symlink(file(), driveC + "/Link.ini");
    ASSERT_TRUE(writeProfileString("C:\\Link.ini", "A", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(driveC + "/Link.ini"));
    EXPECT_EQ(readBytes(file()), "[A]\r\nk=2\r\n");
    struct stat st{};
    ASSERT_EQ(::stat(file().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_TRUE(flushProfile(kWin));
    EXPECT_FALSE(flushProfile("C:\\Nothing.ini"));
    // No temporary files are left beside it.
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(driveC)) entries += e.path().filename().string()[0] == '.';
    EXPECT_EQ(entries, 0);
}

TEST_F(ProfileTest, TwoProcessesWritingOneFileLoseNoKey) {
    constexpr int kKeys = 150;
    ASSERT_TRUE(writeProfileString(kWin, "Shared", "start", "0"));
    auto writeKeys = [&](const char* prefix) {
        for (int i = 0; i < kKeys; ++i)
            if (!writeProfileString(kWin, i % 2 ? "Shared" : prefix, prefix + std::to_string(i), std::to_string(i)))
                return false;
        return true;
    };
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(writeKeys("child") ? 0 : 1);
    bool parentOk = writeKeys("parent");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(parentOk);
    clearProfileCache();
    int missing = 0;
    for (const char* who : {"child", "parent"})
        for (int i = 0; i < kKeys; ++i)
            missing += get(i % 2 ? "Shared" : who, who + std::to_string(i)).text != std::to_string(i);
    EXPECT_EQ(missing, 0);
}

TEST_F(ProfileTest, LongRunOfMixedEditsReadsBackLikeAPlainMap) {
    // The engine keeps its parse of the file up to date edit by edit; reading every key, before
    // and after forgetting that parse, must agree with a plain map of what was written.
    writeBytes(file(), "\xEF\xBB\xBF; start\r[S0]\rstray line\n\n");
    std::map<std::pair<int, int>, std::string> model;
    auto name = [](char prefix, int n) {
        std::string s(1, prefix);
        return s += std::to_string(n);
    };
    unsigned seed = 12345;
    auto next = [&seed](unsigned m) { seed = seed * 1103515245u + 12345u; return (seed >> 8) % m; };
    for (int step = 0; step < 700; ++step) {
        int sec = static_cast<int>(next(4)), key = static_cast<int>(next(12));
        std::string sName = name('S', sec), kName = name('k', key);
        unsigned action = next(10);
        if (action == 0) {
            ASSERT_TRUE(writeProfileString(kWin, sName, std::nullopt, std::nullopt));
            for (int k = 0; k < 12; ++k) model.erase({sec, k});
        } else if (action < 3) {
            ASSERT_TRUE(writeProfileString(kWin, sName, kName, std::nullopt));
            model.erase({sec, key});
        } else {
            std::string v = std::string(next(3), ' ') + "表v" + std::to_string(step);
            ASSERT_TRUE(writeProfileString(kWin, sName, kName, v));
            model[{sec, key}] = v.substr(v.find_first_not_of(' '));
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (int sec = 0; sec < 4; ++sec)
            for (int key = 0; key < 12; ++key) {
                auto it = model.find({sec, key});
                ProfileString v = get(name('S', sec), name('K', key), "-");
                EXPECT_EQ(v.text, it == model.end() ? "-" : it->second) << sec << "/" << key << " pass " << pass;
            }
        clearProfileCache();
    }
}

TEST_F(ProfileTest, ThousandsOfWritesInARowStayFast) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(writeProfileString(kWin, "Form" + std::to_string(i % 10), "txt(" + std::to_string(i) + ").Text",
                                       std::to_string(i)));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(get("Form7", "TXT(997).text").text, "997");
    // A write costs well under a millisecond; this bound only catches runaway (e.g. quadratic) cost.
    EXPECT_LT(seconds, 20.0);
    RecordProperty("seconds_for_1000_writes", std::to_string(seconds));
}

} // namespace
} // namespace qv::kernel
