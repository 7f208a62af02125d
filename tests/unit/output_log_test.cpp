#include <gtest/gtest.h>

#include "app/output_log.h"

namespace torvale {
namespace {

TEST(OutputLog, ResetShowsExactlyTheBannerWithCaretAtStart) {
    OutputLog log;
    log.PrintOutput("something");
    log.PrintOutput(kResetMessage);
    EXPECT_EQ(log.text(), Banner());
    EXPECT_EQ(log.caret(), 0u);
    // Six lines, each ending in CR LF; the sixth is a rule of 68 hyphens.
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = log.text().find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 6u);
    EXPECT_EQ(log.text().substr(0, 44), "-- Descent 3 TORVALE Conversion Utility --\r\n");
    EXPECT_NE(log.text().find("\r\n\r\n"), std::string::npos);  // line 3 is empty
    EXPECT_EQ(log.text().substr(log.text().size() - 70), std::string(68, '-') + "\r\n");
}

TEST(OutputLog, AppendAddsFourSpacesThenTheMessageAndMovesTheCaret) {
    OutputLog log;
    log.setInitialText("X");
    log.PrintOutput("abc");
    EXPECT_EQ(log.text(), "X    abc");
    EXPECT_EQ(log.caret(), 8u);
    log.PrintOutput("");
    EXPECT_EQ(log.text(), "X    abc    ");
    EXPECT_EQ(log.caret(), 12u);
}

TEST(OutputLog, ClearsOnlyWhenTheSumExceedsTheLimit) {
    OutputLog log;
    log.setInitialText(std::string(65530, 'a'));
    log.PrintOutput("12345");  // 65535: not cleared
    EXPECT_EQ(log.text().size(), 65539u);
    EXPECT_EQ(log.text().substr(65530), "    12345");

    log.setInitialText(std::string(65530, 'a'));
    log.PrintOutput("123456");  // 65536: cleared first
    EXPECT_EQ(log.text(), "    123456");
    EXPECT_EQ(log.caret(), 10u);

    const std::string huge(70000, 'h');
    log.PrintOutput(huge);
    EXPECT_EQ(log.text(), "    " + huge);
}

TEST(OutputLog, ResetMessageCanTriggerTheClearingButStillGivesTheBanner) {
    OutputLog log;
    log.setInitialText(std::string(65535, 'a'));
    log.PrintOutput(kResetMessage);
    EXPECT_EQ(log.text(), Banner());
}

TEST(OutputLog, MessageStartingWithCodeOneButLongerIsAppended) {
    OutputLog log;
    log.setInitialText("");
    log.PrintOutput("\x01x");
    EXPECT_EQ(log.text(), "    \x01x");
}

TEST(OutputLog, ListenerSeesAppendsAndReplacements) {
    OutputLog log;
    std::string mirror;
    log.setListener([&](const OutputLog::Change& change) {
        if (change.replaced)
            mirror = log.text();
        else
            mirror += change.appended;
    });
    log.PrintOutput(kResetMessage);
    log.PrintOutput("\r\nhello\r\n");
    EXPECT_EQ(mirror, log.text());
    log.PrintOutput(std::string(70000, 'z'));
    EXPECT_EQ(mirror, log.text());
}

}  // namespace
}  // namespace torvale
