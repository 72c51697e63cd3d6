#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "base/text_format.h"
#include "config/profile_text.h"

namespace zentrik {
namespace {

using namespace std::string_literals;

TEST(IniFileRead, NamesMatchCaseInsensitivelyAndBlanksAreTrimmed) {
    const IniFile file(
        "[First]\nKey=1\n  [  Second Section  ]  \n  Some Key \t=  two words  \r\n"
        "Empty=\n[second section]\nsome key=shadowed\n");
    EXPECT_EQ(file.Value("first", "KEY"), "1");
    EXPECT_EQ(file.Value("SECOND SECTION", "some KEY"), "two words");
    EXPECT_EQ(file.Value("Second Section", "empty"), "");
    EXPECT_FALSE(file.Value("Second Section", "missing").has_value());
    EXPECT_FALSE(file.Value("Third", "Key").has_value());
    // A key is looked up in its own section only.
    EXPECT_FALSE(file.Value("Second Section", "Key").has_value());
}

TEST(IniFileRead, FirstSectionAndFirstKeyWin) {
    const IniFile file("[S]\na=1\na=2\n[T]\nb=3\n[s]\na=4\nc=5\n");
    EXPECT_EQ(file.Value("S", "a"), "1");
    EXPECT_FALSE(file.Value("S", "c").has_value());  // only in the repeated section
    EXPECT_EQ(file.Value("T", "b"), "3");
}

TEST(IniFileRead, LinesThatAreNotKeysAreNeverMatched) {
    const IniFile file(
        "orphan=before\n[S]\n;commented=1\nno equals sign\n x = 1 = 2 \n[Unclosed\ny=3\n");
    EXPECT_FALSE(file.Value("S", "orphan").has_value());
    EXPECT_FALSE(file.Value("S", ";commented").has_value());
    EXPECT_FALSE(file.Value("S", "commented").has_value());
    EXPECT_FALSE(file.Value("S", "no equals sign").has_value());
    EXPECT_EQ(file.Value("S", "x"), "1 = 2");
    EXPECT_EQ(file.Value("Unclosed", "y"), "3");
}

TEST(IniFileRead, ByteOrderMarkDoesNotHideTheFirstSection) {
    const IniFile file("\xEF\xBB\xBF[S]\r\nk=v\r\n");
    EXPECT_EQ(file.Value("S", "k"), "v");
    EXPECT_EQ(file.Serialize(), "\xEF\xBB\xBF[S]\r\nk=v\r\n");
}

TEST(IniFileWrite, ReplacesInPlaceKeepingEverythingAroundIt) {
    IniFile file("; top\n[S]\n  Key  =  old value  \nnext=1\n\n[T]\nz=9\n");
    ASSERT_TRUE(file.SetValue("s", "KEY", "new"));
    EXPECT_EQ(file.Serialize(), "; top\n[S]\n  Key  =  new\nnext=1\n\n[T]\nz=9\n");
    ASSERT_TRUE(file.SetValue("S", "next", ""));
    EXPECT_EQ(file.Value("S", "next"), "");
    ASSERT_TRUE(file.SetValue("S", "next", "2"));
    EXPECT_EQ(file.Serialize(), "; top\n[S]\n  Key  =  new\nnext=2\n\n[T]\nz=9\n");
}

TEST(IniFileWrite, AppendsKeyAfterTheSectionsLastKeyLine) {
    IniFile file("[S]\na=1\n; about T\n\n[T]\nb=2\n");
    ASSERT_TRUE(file.SetValue("S", "c", "3"));
    ASSERT_TRUE(file.SetValue("T", "d", "4"));
    EXPECT_EQ(file.Serialize(), "[S]\na=1\nc=3\n; about T\n\n[T]\nb=2\nd=4\n");

    IniFile headerOnly("[S]\n[T]\n");
    ASSERT_TRUE(headerOnly.SetValue("S", "k", "v"));
    EXPECT_EQ(headerOnly.Serialize(), "[S]\nk=v\n[T]\n");
}

TEST(IniFileWrite, NewFilesAndSectionsUseTheFilesLineEnding) {
    IniFile empty;
    ASSERT_TRUE(empty.SetValue("Section", "key", "value"));
    EXPECT_EQ(empty.Serialize(), "[Section]\r\nkey=value\r\n");

    IniFile lf("[A]\nx=1");  // last line without a line break
    ASSERT_TRUE(lf.SetValue("B", "y", "2"));
    EXPECT_EQ(lf.Serialize(), "[A]\nx=1\n[B]\ny=2\n");
    ASSERT_TRUE(lf.SetValue("A", "z", "3"));
    EXPECT_EQ(lf.Serialize(), "[A]\nx=1\nz=3\n[B]\ny=2\n");

    IniFile crlf("; note\r\n");
    ASSERT_TRUE(crlf.SetValue("A", "x", "1"));
    EXPECT_EQ(crlf.Serialize(), "; note\r\n[A]\r\nx=1\r\n");

    IniFile noBreak("junk");
    ASSERT_TRUE(noBreak.SetValue("A", "x", "1"));
    EXPECT_EQ(noBreak.Serialize(), "junk\r\n[A]\r\nx=1\r\n");
}

TEST(IniFileWrite, RefusesWhatCannotBeStoredOnOneLine) {
    IniFile file("[S]\nk=v\n");
    const std::string before = file.Serialize();
    EXPECT_FALSE(file.SetValue("S", "k", "two\nlines"));
    EXPECT_FALSE(file.SetValue("S", "k", "cr\r"));
    EXPECT_FALSE(file.SetValue("S", "k", "nul\0"s));
    EXPECT_FALSE(file.SetValue("S", "a=b", "1"));
    EXPECT_FALSE(file.SetValue("S", " k", "1"));
    EXPECT_FALSE(file.SetValue("S", "", "1"));
    EXPECT_FALSE(file.SetValue("S", ";k", "1"));
    EXPECT_FALSE(file.SetValue("S]", "k", "1"));
    EXPECT_FALSE(file.SetValue("", "k", "1"));
    EXPECT_FALSE(file.SetValue("S\n[T", "k", "1"));
    EXPECT_EQ(file.Serialize(), before);
}

TEST(IniFileBadInput, JunkSurvivesByteForByteAndDoesNotConfuseLookups) {
    std::string junk = "\x01\x02\xff\xfe\0\0[[]]===\n"s;
    junk += "key before section=1\r\n";
    junk += std::string(10000, 'x') + "\n";
    junk += "[S]\n";
    junk += "long=" + std::string(10000, '7') + "\r\n";
    junk += "nul\0key=1\n"s;
    junk += "\r\r\n\n\r";  // stray carriage returns, no final line break
    IniFile file(junk);
    EXPECT_EQ(file.Serialize(), junk);
    EXPECT_EQ(file.Value("S", "long")->size(), 10000u);
    EXPECT_EQ(file.Value("S", "nul\0key"s), "1");

    ASSERT_TRUE(file.SetValue("S", "added", "5"));
    ASSERT_TRUE(file.SetValue("S", "long", "6"));
    const std::string out = file.Serialize();
    EXPECT_NE(out.find("\x01\x02\xff\xfe\0\0[[]]===\n"s), std::string::npos);
    EXPECT_NE(out.find(std::string(10000, 'x') + "\n"), std::string::npos);
    EXPECT_NE(out.find("long=6\r\n"), std::string::npos);
    EXPECT_NE(out.find("nul\0key=1\nadded=5\n"s), std::string::npos);
    EXPECT_EQ(IniFile(out).Value("S", "added"), "5");
}

TEST(IniFileBadInput, RandomBytesParseAndSerializeUnchanged) {
    std::mt19937 rng(20240611);
    const std::string alphabet = "[]=; \t\r\nabcAB\0\xff"s;
    for (int round = 0; round < 300; ++round) {
        std::string bytes(rng() % 200, '\0');
        for (char& c : bytes) {
            c = alphabet[rng() % alphabet.size()];
        }
        IniFile file(bytes);
        ASSERT_EQ(file.Serialize(), bytes);
        ASSERT_TRUE(file.SetValue("ab", "key", "value"));
        const IniFile reread(file.Serialize());
        ASSERT_EQ(reread.Value("AB", "KEY"), "value") << "input " << round;
    }
}

TEST(ProfileText, StringReadsCutToTheBufferAndDropQuotes) {
    const std::string longValue(300, 'v');
    const IniFile file("[S]\nlong=" + longValue + "\nq=\"quoted\"\nsq='x'\nodd=\"half\n");
    EXPECT_EQ(ProfileString(file, "S", "long", ""), std::string(259, 'v'));
    EXPECT_EQ(ProfileString(file, "S", "q", ""), "quoted");
    EXPECT_EQ(ProfileString(file, "S", "sq", ""), "x");
    EXPECT_EQ(ProfileString(file, "S", "odd", ""), "\"half");
    EXPECT_EQ(ProfileString(file, "S", "missing", "def"), "def");
    EXPECT_EQ(ProfileString(file, "S", "missing", std::string(400, 'd')).size(), 259u);
}

TEST(ProfileText, IntegerReadsTakeTheLeadingSignedDecimalNumber) {
    const IniFile file(
        "[S]\na=42\nb=-26\nc=+7\nd=12abc\ne=abc\nf=\ng=0x10\nh=4294967295\ni=\"15\"\nj=- 5\n"
        "k=" +
        std::string(258, '0') + "123\n");
    EXPECT_EQ(ProfileInt(file, "S", "a", 9), 42);
    EXPECT_EQ(ProfileInt(file, "S", "b", 9), -26);
    EXPECT_EQ(ProfileInt(file, "S", "c", 9), 7);
    EXPECT_EQ(ProfileInt(file, "S", "d", 9), 12);
    EXPECT_EQ(ProfileInt(file, "S", "e", 9), 0);
    EXPECT_EQ(ProfileInt(file, "S", "f", 9), 9);  // empty value: the default
    EXPECT_EQ(ProfileInt(file, "S", "g", 9), 0);
    EXPECT_EQ(ProfileInt(file, "S", "h", 9), -1);  // wraps at 32 bits
    EXPECT_EQ(ProfileInt(file, "S", "i", 9), 15);
    EXPECT_EQ(ProfileInt(file, "S", "j", 9), 0);
    EXPECT_EQ(ProfileInt(file, "S", "k", 9), 1);  // digits past the buffer are not read
    EXPECT_EQ(ProfileInt(file, "S", "missing", -3), -3);
}

TEST(ProfileText, FloatTextIsReadLikeStrtodAndWrittenLikePrintf) {
    EXPECT_EQ(ParseLeadingDouble("9.99"), 9.99);
    EXPECT_EQ(ParseLeadingDouble("  -1.5e2psi"), -150.0);
    EXPECT_EQ(ParseLeadingDouble("+.5"), 0.5);
    EXPECT_EQ(ParseLeadingDouble("7."), 7.0);
    EXPECT_EQ(ParseLeadingDouble("3e"), 3.0);
    EXPECT_EQ(ParseLeadingDouble("2e+"), 2.0);
    EXPECT_EQ(ParseLeadingDouble("psi"), 0.0);
    EXPECT_EQ(ParseLeadingDouble("."), 0.0);
    EXPECT_EQ(ParseLeadingDouble("-"), 0.0);
    EXPECT_EQ(ParseLeadingDouble("inf"), 0.0);
    EXPECT_EQ(ParseLeadingDouble("0x1p4"), 0.0);
    EXPECT_EQ(ParseLeadingDouble("1e999"), HUGE_VAL);
    EXPECT_EQ(ParseLeadingDouble("-1e999"), -HUGE_VAL);
    EXPECT_EQ(ParseLeadingDouble("1e-999"), 0.0);
    EXPECT_EQ(ParseLeadingDouble(std::string(400, '9') + "e-399"), 10.0);

    EXPECT_EQ(FormatFixed(20.04f, 6), "20.040001");
    EXPECT_EQ(FormatFixed(2557 * 0.00390625f, 2), "9.99");
    EXPECT_EQ(FormatFixed(-0.125, 2), "-0.12");  // exact binary tie rounds to even, as printf
    EXPECT_EQ(FormatFixed(-26.0f, 2), "-26.00");
    EXPECT_EQ(FormatInt(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(FormatUnsignedShort(255), "255");
}

}  // namespace
}  // namespace zentrik
