#include "dialog/update_management_file.h"

#include <gtest/gtest.h>

#include <string>

#include "update_management_file_fixture.h"

namespace tessel {
namespace {

TEST_F(UpdateManagementFileTest, HeaderTakesTextsFromByteFourOfTheirLines) {
    const UpdateHeader h = header("#T# Updater\r\n#F# 01.00.00\r\n#S# 02.00.01\r\n#A# move\r\n");
    EXPECT_EQ(h.caption, "Updater");
    EXPECT_EQ(h.firmwareVersion, "01.00.00");
    EXPECT_EQ(h.scriptVersion, "02.00.01");
    EXPECT_EQ(h.moveFlag, 1);
}

TEST_F(UpdateManagementFileTest, HeaderValuePositionIgnoresWhereTheTagStands) {
    EXPECT_EQ(header("#T#Caption\n").caption, "aption");
    EXPECT_EQ(header("  #F# 1.0\n").firmwareVersion, "# 1.0");
    EXPECT_EQ(header("#T# \n").caption, "");
    EXPECT_EQ(header("#T#\n").caption, "");
}

TEST_F(UpdateManagementFileTest, FirstMatchingTagOfALineWins) {
    const UpdateHeader h = header("#S# x #T# y\n");
    EXPECT_EQ(h.caption, "x #T# y");
    EXPECT_EQ(h.scriptVersion, "");
}

TEST_F(UpdateManagementFileTest, MoveFlagComesFromTheLastActionLineInAnyLetterCase) {
    EXPECT_EQ(header("#A# Move\n").moveFlag, 1);
    EXPECT_EQ(header("#A# MOVE \n").moveFlag, 0);
    EXPECT_EQ(header("#A# copy\n").moveFlag, 0);
    EXPECT_EQ(header("#A# move\n#A# keep\n").moveFlag, 0);
    EXPECT_EQ(header("#A# keep\n\n#A# mOvE\n").moveFlag, 1);
    EXPECT_EQ(header("#T# no action\n").moveFlag, 0);
}

TEST_F(UpdateManagementFileTest, LaterLinesReplaceEarlierOnesAndBlankLinesDoNotStopReading) {
    const UpdateHeader h = header("#T# first\r\n\r\n\n#T# second\r\nnoise\n#F# last line without end");
    EXPECT_EQ(h.caption, "second");
    EXPECT_EQ(h.firmwareVersion, "last line without end");
}

TEST_F(UpdateManagementFileTest, CtrlZEndsTheFile) {
    const UpdateHeader h = header("#T# kept\n\x1A#F# never read\n");
    EXPECT_EQ(h.caption, "kept");
    EXPECT_EQ(h.firmwareVersion, "");
}

TEST_F(UpdateManagementFileTest, LongDisplayTextsAreTakenWhole) {
    std::string longText;
    for (int i = 0; i < 200; ++i) longText += "\x82\xA0";
    const UpdateHeader h = header("#T# " + longText + "\n#S# " + std::string(5000, 's') + "\n");
    EXPECT_EQ(h.caption, longText);
    EXPECT_EQ(h.scriptVersion, std::string(5000, 's'));
    EXPECT_EQ(header("#F# " + std::string(400, 'v') + "\n").firmwareVersion, std::string(400, 'v'));
}

TEST_F(UpdateManagementFileTest, MissingFileGivesAnEmptyHeaderAndNoMove) {
    UpdateHeader h{"old", "1", "2", 1};
    EXPECT_FALSE(ReadUpdateHeader(dir(), h));
    EXPECT_EQ(h.caption, "");
    EXPECT_EQ(h.moveFlag, 0);
}

TEST_F(UpdateManagementFileTest, EntryLinesSplitAtTheFirstTwoCommas) {
    const auto list = entries("#M# 0\n#L# a,b,c\n#L# a , b , c\n#L# a,b,c,d\n");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].scrambledName, "a");
    EXPECT_EQ(list[0].plainName, "b");
    EXPECT_EQ(list[0].devicePath, "c");
    EXPECT_EQ(list[1].scrambledName, "a ");
    EXPECT_EQ(list[1].plainName, " b ");
    EXPECT_EQ(list[1].devicePath, " c");
    EXPECT_EQ(list[2].devicePath, "c,d");
}

TEST_F(UpdateManagementFileTest, EntryLinesWithTooFewCommasGiveEmptyNamesAndTheWholeLine) {
    const auto list = entries("#M# 0\n#L# a,b\n#L# a\n#L#,x,y\n");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].scrambledName, "a");
    EXPECT_EQ(list[0].plainName, "");
    EXPECT_EQ(list[0].devicePath, "#L# a,b");
    EXPECT_EQ(list[1].scrambledName, "");
    EXPECT_EQ(list[1].plainName, "");
    EXPECT_EQ(list[1].devicePath, "#L# a");
    EXPECT_EQ(list[2].scrambledName, "");
    EXPECT_EQ(list[2].plainName, "x");
    EXPECT_EQ(list[2].devicePath, "y");
}

TEST_F(UpdateManagementFileTest, EntriesKeepFileOrderAndDoubleByteNames) {
    const std::string name = "\x83\x65\x83\x58\x83\x67.htm";  // katakana whose second bytes are letters
    const auto list = entries("#T# caption\n#L# a1.dat,index.htm,C:\\www\\index.htm\n#M# 5A\n#L# a2.dat," + name +
                              ",C:\\www\\" + name + "\n");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].scrambledName, "a1.dat");
    EXPECT_EQ(list[0].devicePath, "C:\\www\\index.htm");
    EXPECT_EQ(list[1].plainName, name);
    EXPECT_EQ(list[1].devicePath, "C:\\www\\" + name);
    EXPECT_TRUE(entries("#T# only a caption\n").empty());
}

TEST_F(UpdateManagementFileTest, ScrambleKeyIsTheLowByteOfAHexNumberAfterTheTag) {
    EXPECT_EQ(keyAfter("#M# 5a\n", 0), 0x5A);
    EXPECT_EQ(keyAfter("#M#7F\n", 0), 0x7F);
    EXPECT_EQ(keyAfter("#M# 0x1234\n", 0), 0x34);
    EXPECT_EQ(keyAfter("#M#\t  FFFFFFFFF3\n", 0), 0xF3);
    EXPECT_EQ(keyAfter("#M# 11\n#M# 22\n", 0), 0x22);
}

TEST_F(UpdateManagementFileTest, ScrambleKeyKeepsItsValueWhenNoKeyLineParses) {
    EXPECT_EQ(keyAfter(" #M# 5a\n", 0x33), 0x33);
    EXPECT_EQ(keyAfter("#M# zz\n", 0x33), 0x33);
    EXPECT_EQ(keyAfter("#M# 44\n#M# nothing\n", 0x33), 0x44);
}

TEST_F(UpdateManagementFileTest, OneLineCanBeBothKeyAndEntry) {
    write("#M# 21,#L#,c\n");
    std::vector<UpdateFileEntry> list;
    std::uint8_t key = 0;
    ASSERT_EQ(ReadUpdateFileList(dir(), list, key), 0);
    EXPECT_EQ(key, 0x21);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].scrambledName, "21");
}

TEST_F(UpdateManagementFileTest, ListReaderFailsWithoutTouchingListOrKey) {
    std::vector<UpdateFileEntry> list{{"old", "old", "old"}};
    std::uint8_t key = 0x10;
    EXPECT_EQ(ReadUpdateFileList(dir(), list, key), -1);

    write("#M# 99\n#L# a,b," + std::string(260, 'p') + "\n");
    EXPECT_EQ(ReadUpdateFileList(dir(), list, key), -1);
    write("#M# 99\n#L# " + std::string(300, 's') + ",b,c\n");
    EXPECT_EQ(ReadUpdateFileList(dir(), list, key), -1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].scrambledName, "old");
    EXPECT_EQ(key, 0x10);
}

TEST_F(UpdateManagementFileTest, LocalPathsBeyondTheLimitAreRefused) {
    // The plain copy's path is the directory, a separator and the name.
    const std::size_t room = kMaxPathBytes - dir().size() - 1;
    std::vector<UpdateFileEntry> list;
    std::uint8_t key = 0;
    write("#M# 0\n#L# a," + std::string(room, 'n') + ",c\n");
    EXPECT_EQ(ReadUpdateFileList(dir(), list, key), 0);
    write("#M# 0\n#L# a," + std::string(room + 1, 'n') + ",c\n");
    EXPECT_EQ(ReadUpdateFileList(dir(), list, key), -1);
    UpdateHeader h;
    EXPECT_FALSE(ReadUpdateHeader(std::string(kMaxPathBytes, 'd'), h));
}

TEST_F(HostileManagementFileTest, NamesThatArePathsAreRefusedWithTheirLine) {
    for (const std::string& name :
         std::initializer_list<std::string>{"../a.dat", "..", "sub/a.dat", "/etc/passwd", "a\\b.dat", "C:\\x", "a\tb",
                                            std::string("a\0b", 3), "a\x1B]0;t\x07", "a\x7F"}) {
        SCOPED_TRACE(name);
        const ManagementFileFault scrambled =
            refusal("#M# 5\n#L# ok.dat,ok.htm,C:\\www\\ok.htm\n#L# " + name + ",p.htm,C:\\www\\p.htm\n");
        EXPECT_EQ(scrambled.line, 3u);
        EXPECT_FALSE(scrambled.reason.empty());
        const ManagementFileFault plain = refusal("#M# 5\n#L# s.dat," + name + ",C:\\www\\p.htm\n");
        EXPECT_EQ(plain.line, 2u);
    }
}

TEST_F(HostileManagementFileTest, DoubleByteNamesWhoseSecondByteIsABackslashAreNames) {
    const std::string name = "\x83\x5C\x83\x74\x83\x67.htm";  // katakana; the first one ends in 0x5C
    write("#M# 5\n#L# " + name + "," + name + ",C:\\www\\" + name + "\n");
    std::vector<UpdateFileEntry> list;
    std::uint8_t key = 0;
    ASSERT_EQ(ReadUpdateFileList(dir(), list, key), 0);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].plainName, name);
    // A lead byte at the very end has no second byte to hide a backslash in.
    EXPECT_EQ(refusal("#M# 5\n#L# a\\\x83,b,c\n").line, 2u);
}

TEST_F(HostileManagementFileTest, TextThatIsNotCodePage932IsRefused) {
    EXPECT_EQ(refusal("\xEF\xBB\xBF#M# 5\n#L# a,b,c\n").line, 1u);
    EXPECT_EQ(refusal(std::string("\xFF\xFE#\0M\0#\0", 8)).line, 1u);
    EXPECT_EQ(refusal(std::string("#M# 5\n#L# a,b,c\n#\0L\0", 18)).line, 3u);
    // Without a key that parses, the scrambled bytes themselves would be installed.
    EXPECT_EQ(refusal("#L# a,b,c\n").line, 0u);
    EXPECT_EQ(refusal("#M# zz\n#L# a,b,c\n").line, 0u);
    // A file that lists nothing needs no key.
    EXPECT_TRUE(entries("#T# caption\n").empty());
}

TEST_F(HostileManagementFileTest, HugeFilesAndListsAreRefusedWithinTheirBounds) {
    std::string list = "#M# 5\n";
    for (std::size_t i = 0; i < kMaxListedFiles; ++i)
        list += "#L# s" + std::to_string(i) + ",p" + std::to_string(i) + ",c\n";
    EXPECT_EQ(entries(list).size(), kMaxListedFiles);
    EXPECT_EQ(refusal(list + "#L# s,p,c\n").line, kMaxListedFiles + 2);
    EXPECT_EQ(refusal("#M# 5\n" + std::string(kMaxManagementFileBytes, '\n')).line, 0u);
    UpdateHeader h;
    EXPECT_FALSE(ReadUpdateHeader(dir(), h));
}

}  // namespace
}  // namespace tessel
