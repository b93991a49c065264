#include "common/core/LinkSection.h"
#include "common/core/LinkStringQt.h"
#include "common/core/OptionLines.h"

#include <gtest/gtest.h>

using vm::core::LinkShortString;
using vm::core::LinkString;
using vm::core::TLinkSection;

TEST(LinkString, CopiesShareOneBlockAndReleaseIt) {
    LinkString a("Tarnwell Ltd");
    EXPECT_EQ(a.useCount(), 1);
    {
        LinkString b = a;
        LinkString c;
        c = b;
        EXPECT_EQ(a.useCount(), 3);
        EXPECT_EQ(c.c_str(), a.c_str()); // same bytes, not a copy
        c = LinkString("other");
        EXPECT_EQ(a.useCount(), 2);
        EXPECT_EQ(c, "other");
    }
    EXPECT_EQ(a.useCount(), 1);

    LinkString moved = std::move(a);
    EXPECT_EQ(moved.useCount(), 1);
    EXPECT_TRUE(a.empty()); // NOLINT(bugprone-use-after-move): a moved-from handle is the empty string
    a = moved;
    a = a;
    EXPECT_EQ(moved.useCount(), 2);
}

TEST(LinkString, EmptyIsTheNullHandleAndBytesAreKept) {
    EXPECT_TRUE(LinkString("").empty());
    EXPECT_TRUE(LinkString(static_cast<const char*>(nullptr)).empty());
    EXPECT_STREQ(LinkString().c_str(), "");
    EXPECT_EQ(LinkString().useCount(), 0);

    const char raw[] = {'a', '\0', 'b'};
    LinkString withNul(raw, 3);
    EXPECT_EQ(withNul.size(), 3u);
    EXPECT_EQ(withNul.view(), std::string_view(raw, 3));

    LinkString accented(std::string("Québec"));
    EXPECT_EQ(vm::core::toQString(accented), QString::fromUtf8("Québec"));
    EXPECT_EQ(vm::core::toLinkString(QStringLiteral("Montréal")), "Montréal");
    EXPECT_TRUE(vm::core::toLinkString(QString()).empty());
}

TEST(LinkShortString, KeepsAtMostTwoCharacters) {
    LinkShortString code("fra");
    EXPECT_EQ(code.view(), "fr");
    EXPECT_EQ(code.length, 2);
    code.set("e");
    EXPECT_EQ(code.str(), "e");
    code.length = 200; // a damaged record must not read past the field
    EXPECT_EQ(code.view().size(), 2u);
}

TEST(TLinkSection, CopyingTheRecordSharesEveryText) {
    TLinkSection shell;
    shell.LoginUser = "marie";
    shell.CompanyName = "Les Entreprises";
    shell.LangCode = "fr";
    shell.SessionId = 0;
    {
        TLinkSection copy = shell;
        EXPECT_EQ(shell.LoginUser.useCount(), 2);
        copy.CompanyName = "changed";
        EXPECT_EQ(shell.CompanyName, "Les Entreprises");
    }
    EXPECT_EQ(shell.LoginUser.useCount(), 1);
    EXPECT_EQ(shell.CompanyName.useCount(), 1);
}

TEST(OptionLines, RoundTripKeepsEveryItemInPlace) {
    using vm::core::joinOptionLines;
    using vm::core::splitOptionLines;
    const std::vector<std::string> codes = {"custmaint", "", "cashrcpt", ""};
    EXPECT_EQ(splitOptionLines(joinOptionLines(codes).c_str()), codes);
    EXPECT_EQ(splitOptionLines(joinOptionLines({""}).c_str()), std::vector<std::string>{""});
    EXPECT_TRUE(splitOptionLines(joinOptionLines({}).c_str()).empty());
    EXPECT_TRUE(splitOptionLines(nullptr).empty());

    // A line break inside a caption must not shift the later lines.
    const auto split = splitOptionLines(joinOptionLines({"two\nlines", "next"}).c_str());
    ASSERT_EQ(split.size(), 2u);
    EXPECT_EQ(split[0], "two lines");
    EXPECT_EQ(split[1], "next");

    EXPECT_EQ(splitOptionLines("a\r\nb"), (std::vector<std::string>{"a", "b"}));
}
