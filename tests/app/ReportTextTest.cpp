#include "ReportText.h"

#include <gtest/gtest.h>

namespace {

struct TDecodeCase {
    const char *Name;
    std::string Bytes;
    bool Utf8;            // expected verdict of the validator
    std::u16string Shown; // expected text
};

class ReportTextDecode : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(ReportTextDecode, ShowsUtf8OrEveryByteAsLatin1) {
    const TDecodeCase &c = GetParam();
    EXPECT_EQ(IsValidUtf8(c.Bytes), c.Utf8);
    QString shown = QStringLiteral(">");
    AppendReportText(shown, c.Bytes);
    EXPECT_EQ(shown, QStringLiteral(">") + QString::fromStdU16String(c.Shown));
    EXPECT_FALSE(shown.contains(QChar::ReplacementCharacter));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ReportTextDecode,
    ::testing::Values(
        TDecodeCase{"Ascii", "plain text", true, u"plain text"},
        TDecodeCase{"Empty", "", true, u""},
        TDecodeCase{"TwoByte", "caf\xC3\xA9", true, u"caf\u00E9"},
        TDecodeCase{"ThreeByte", "\xE2\x82\xAC 5", true, u"\u20AC 5"},
        TDecodeCase{"FourByte", "\xF0\x9F\x98\x80", true, u"\U0001F600"},
        TDecodeCase{"Latin1", "caf\xE9", false, u"caf\u00E9"},
        TDecodeCase{"StrayContinuation", "a\x80z", false, u"a\u0080z"},
        TDecodeCase{"Overlong", "\xC0\xAF", false, u"\u00C0\u00AF"},
        TDecodeCase{"OverlongThree", "\xE0\x80\xAF", false, u"\u00E0\u0080\u00AF"},
        TDecodeCase{"Surrogate", "\xED\xA0\x80", false, u"\u00ED\u00A0\u0080"},
        TDecodeCase{"AboveUnicode", "\xF4\x90\x80\x80", false, u"\u00F4\u0090\u0080\u0080"},
        TDecodeCase{"Truncated", "x\xE2\x82", false, u"x\u00E2\u0082"},
        TDecodeCase{"BadFollow", "\xC3(", false, u"\u00C3("},
        TDecodeCase{"MixedLine", "\xC3\xA9 and \xE9", false, u"\u00C3\u00A9 and \u00E9"}),
    [](const ::testing::TestParamInfo<TDecodeCase> &Info) { return std::string(Info.param.Name); });

} // namespace
