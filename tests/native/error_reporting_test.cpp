#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/ErrorReporting.h"
#include "runtime/Forms.h"

namespace glimra {
namespace {

class ErrorReportingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentErrorEnvironment();
    VersionText() = MakeVersionText(1, 1, 9);
    LowColorFlag() = kTrue;
    CurrentErrorEnvironment() = ErrorEnvironment{[this](const ErrorReport& report) {
                                                   reports_.push_back(report);
                                                   const std::int16_t answer = answers_.empty() ? 0 : answers_.front();
                                                   if (!answers_.empty()) answers_.erase(answers_.begin());
                                                   return answer;
                                                 },
                                                 [this] { events_.push_back("unload all"); },
                                                 [this] {
                                                   events_.push_back("end");
                                                   throw EndProgramNow{};
                                                 }};
    recordingReport_ = CurrentErrorEnvironment().report;
  }
  void TearDown() override { CurrentErrorEnvironment() = saved_; }

  ErrorEnvironment saved_;
  std::function<std::int16_t(const ErrorReport&)> recordingReport_;
  std::vector<ErrorReport> reports_;
  std::vector<std::int16_t> answers_;
  std::vector<std::string> events_;
};

const ErrorSite kSite{"modTest", "DoThings"};

TEST_F(ErrorReportingTest, ReportCarriesTheEightArguments) {
  answers_ = {kAnswerIgnore};
  Guard(
      kSite, [] { RaiseError(kErrTypeMismatch); }, 120);
  ASSERT_EQ(reports_.size(), 1u);
  const ErrorReport& r = reports_[0];
  EXPECT_EQ(r.product, "Glimra");
  EXPECT_EQ(r.version, "1.1.9");
  EXPECT_EQ(r.module, "modTest");
  EXPECT_EQ(r.procedure, "DoThings");
  EXPECT_EQ(r.line, 120);
  EXPECT_EQ(r.number, "13");
  EXPECT_EQ(r.description, "Type mismatch");
  EXPECT_EQ(r.lowColor, kTrue);
}

TEST_F(ErrorReportingTest, RetryRunsTheFailingStatementAgain) {
  answers_ = {kAnswerRetry, kAnswerRetry};
  int attempts = 0;
  std::vector<std::string> done;
  RunProcedure(kSite, [&] {
    Guard(kSite, [&] {
      if (++attempts < 3) RaiseError(kErrOverflow);
      done.push_back("first");
    });
    Guard(kSite, [&] { done.push_back("second"); });
  });
  EXPECT_EQ(attempts, 3);
  EXPECT_EQ(done, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(reports_.size(), 2u);
}

TEST_F(ErrorReportingTest, IgnoreGoesOnAfterTheFailingStatement) {
  answers_ = {kAnswerIgnore};
  std::vector<std::string> done;
  RunProcedure(kSite, [&] {
    Guard(kSite, [&] {
      RaiseError(kErrOverflow);
      done.push_back("rest of the failing statement");
    });
    Guard(kSite, [&] { done.push_back("next"); });
  });
  EXPECT_EQ(done, (std::vector<std::string>{"next"}));
}

TEST_F(ErrorReportingTest, AnyOtherAnswerLeavesTheProcedure) {
  answers_ = {1};
  int result = 7;
  RunProcedure(kSite, [&] {
    Guard(kSite, [&] { result = 8; });
    Guard(kSite, [] { RaiseError(kErrSubscript); });
    Guard(kSite, [&] { result = 9; });
  });
  EXPECT_EQ(result, 8);
  EXPECT_TRUE(events_.empty());
}

TEST_F(ErrorReportingTest, AbortUnloadsAllFormsThenEnds) {
  answers_ = {kAnswerAbort};
  bool after = false;
  EXPECT_THROW(RunProcedure(kSite,
                            [&] {
                              Guard(kSite, [] { RaiseError(kErrOverflow); });
                              after = true;
                            }),
               EndProgramNow);
  EXPECT_FALSE(after);
  EXPECT_EQ(events_, (std::vector<std::string>{"unload all", "end"}));
}

TEST_F(ErrorReportingTest, FailingReportEndsTheHandlerWithoutAction) {
  CurrentErrorEnvironment().report = [](const ErrorReport&) -> std::int16_t { throw std::runtime_error("broken"); };
  int calls = 0;
  RunProcedure(kSite, [&] {
    Guard(kSite, [&] {
      ++calls;
      RaiseError(kErrOverflow);
    });
    Guard(kSite, [&] { ++calls; });
  });
  EXPECT_EQ(calls, 1);
}

// The report waits in a modal loop that still runs events: a fault in one of
// them leaves its own procedure instead of stacking a second report.
TEST_F(ErrorReportingTest, AFaultWhileAReportIsUpLeavesItsProcedureWithoutASecondReport) {
  std::vector<std::string> done;
  bool showingDuringReport = false;
  CurrentErrorEnvironment().report = [&](const ErrorReport& report) -> std::int16_t {
    reports_.push_back(report);
    showingDuringReport = ErrorReportShowing();
    RunProcedure({"frmChatTools", "sbcSendIcon_WndMessageX"}, [&] {
      Guard(kSite, [] { RaiseError(kErrOverflow); });
      done.push_back("after the nested fault");
    });
    done.push_back("nested procedure returned");
    return kAnswerIgnore;
  };
  EXPECT_FALSE(ErrorReportShowing());
  RunProcedure(kSite, [&] {
    Guard(kSite, [] { RaiseError(kErrSubscript); });
    done.push_back("after the first fault");
  });
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0].number, "9");
  EXPECT_TRUE(showingDuringReport);
  EXPECT_FALSE(ErrorReportShowing());
  EXPECT_EQ(done, (std::vector<std::string>{"nested procedure returned", "after the first fault"}));

  // Once the report is answered, the next fault is reported again.
  answers_ = {kAnswerIgnore};
  CurrentErrorEnvironment().report = recordingReport_;
  Guard(kSite, [] { RaiseError(kErrOverflow); });
  EXPECT_EQ(reports_.size(), 2u);
}

TEST_F(ErrorReportingTest, LibraryExceptionsBecomeRunTimeErrors) {
  answers_ = {kAnswerIgnore, kAnswerIgnore};
  Guard(kSite, [] { (void)std::string("ab").at(5); });
  Guard(kSite, [] { throw std::bad_alloc(); });
  ASSERT_EQ(reports_.size(), 2u);
  EXPECT_EQ(reports_[0].number, "9");
  EXPECT_EQ(reports_[1].number, "7");
  EXPECT_EQ(reports_[1].description, "Out of memory");
}

TEST_F(ErrorReportingTest, SkipOnErrorReportsNothing) {
  EXPECT_FALSE(SkipOnError([] { RaiseError(kErrOverflow); }));
  EXPECT_TRUE(SkipOnError([] {}));
  EXPECT_TRUE(reports_.empty());
}

TEST(LowColorFlag, EightBitsOrFewerIsLowSixteenOrMoreIsNot) {
  EXPECT_EQ(LowColorFlagFor(4, kFalse), kTrue);
  EXPECT_EQ(LowColorFlagFor(8, kFalse), kTrue);
  EXPECT_EQ(LowColorFlagFor(16, kTrue), kFalse);
  EXPECT_EQ(LowColorFlagFor(32, kTrue), kFalse);
  EXPECT_EQ(LowColorFlagFor(12, kTrue), kTrue);
  EXPECT_EQ(LowColorFlagFor(12, kFalse), kFalse);
}

TEST(VersionText, PlainDecimalsJoinedByDots) {
  EXPECT_EQ(MakeVersionText(1, 1, 9), "1.1.9");
  EXPECT_EQ(MakeVersionText(2, 10, 0), "2.10.0");
}

class FakeForm : public Form {
 public:
  FakeForm(std::string name, FormsCollection& forms, std::vector<std::string>& log, bool stubborn = false)
      : name_(std::move(name)), forms_(forms), log_(log), stubborn_(stubborn) {
    forms_.Add(this);
  }
  std::string Name() const override { return name_; }
  void Unload() override {
    log_.push_back(name_);
    if (!stubborn_) forms_.Remove(this);
  }

 private:
  std::string name_;
  FormsCollection& forms_;
  std::vector<std::string>& log_;
  bool stubborn_;
};

TEST(UnloadAllForms, NewestFirstUntilNoneIsLeft) {
  FormsCollection forms;
  std::vector<std::string> log;
  FakeForm a("frmChatTools", forms, log), b("frmMain", forms, log), c("frmMsg", forms, log);
  UnloadAllForms(forms);
  EXPECT_EQ(log, (std::vector<std::string>{"frmMsg", "frmMain", "frmChatTools"}));
  EXPECT_EQ(forms.Count(), 0u);
}

TEST(UnloadAllForms, AFormThatStaysLoadedCannotHangTheEnd) {
  FormsCollection forms;
  std::vector<std::string> log;
  FakeForm a("frmA", forms, log), b("frmStubborn", forms, log, true);
  UnloadAllForms(forms);
  EXPECT_EQ(log, (std::vector<std::string>{"frmStubborn", "frmA"}));
  EXPECT_EQ(forms.Count(), 0u);
}

}  // namespace
}  // namespace glimra
