#include <gtest/gtest.h>

#include <sstream>

#include "ctl/console_questions.h"

namespace zentrik {
namespace {

struct Console {
    std::istringstream in;
    std::ostringstream prompt;
    explicit Console(std::string input = {}) : in(std::move(input)) {}
};

TEST(ConsoleQuestions, WithoutATerminalYesNoIsNoUnlessYesToAll) {
    Console c;
    ConsoleQuestions ask(false, false, c.in, c.prompt);
    EXPECT_EQ(ask.Ask("Proceed?", "Caption", MessageButtons::YesNo), MessageAnswer::No);
    ConsoleQuestions yes(true, false, c.in, c.prompt);
    EXPECT_EQ(yes.Ask("Proceed?", "Caption", MessageButtons::YesNo), MessageAnswer::Yes);
    // The question and the answer given are shown.
    EXPECT_NE(c.prompt.str().find("Caption: Proceed?"), std::string::npos);
    EXPECT_NE(c.prompt.str().find("answered No"), std::string::npos);
    EXPECT_NE(c.prompt.str().find("answered Yes"), std::string::npos);
}

TEST(ConsoleQuestions, AbortRetryIgnoreWithoutATerminalIsAbortEvenWithYesToAll) {
    Console c("r\n");
    ConsoleQuestions ask(true, false, c.in, c.prompt);
    EXPECT_EQ(ask.Ask("The message timed out.", "Timeout Error", MessageButtons::AbortRetryIgnore),
              MessageAnswer::Abort);
    EXPECT_NE(c.prompt.str().find("The message timed out."), std::string::npos);
}

TEST(ConsoleQuestions, ATerminalUserIsAskedUntilTheAnswerFits) {
    Console c("maybe\n\n  Y\nx\ni\nR\nabort\n");
    ConsoleQuestions ask(false, true, c.in, c.prompt);
    EXPECT_EQ(ask.Ask("Q", "C", MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(ask.Ask("Q", "C", MessageButtons::AbortRetryIgnore), MessageAnswer::Ignore);
    EXPECT_EQ(ask.Ask("Q", "C", MessageButtons::AbortRetryIgnore), MessageAnswer::Retry);
    EXPECT_EQ(ask.Ask("Q", "C", MessageButtons::AbortRetryIgnore), MessageAnswer::Abort);
}

TEST(ConsoleQuestions, EndOfInputGivesTheCautiousAnswer) {
    Console c("n\n");
    ConsoleQuestions ask(false, true, c.in, c.prompt);
    EXPECT_EQ(ask.Ask("Q", "C", MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(ask.Ask("Q", "C", MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(ask.Ask("Q", "C", MessageButtons::AbortRetryIgnore), MessageAnswer::Abort);
}

TEST(ConsoleQuestions, OkBoxesNeedNoAnswer) {
    Console c("y\n");
    ConsoleQuestions ask(false, true, c.in, c.prompt);
    EXPECT_EQ(ask.Ask("Note", "C", MessageButtons::Ok), MessageAnswer::Ok);
    // The pending line is still there for the next real question.
    EXPECT_EQ(ask.Ask("Q", "C", MessageButtons::YesNo), MessageAnswer::Yes);
}

}  // namespace
}  // namespace zentrik
