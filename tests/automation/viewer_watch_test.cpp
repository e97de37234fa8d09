// Opening a workbook with the desktop's opener: what it answers in its first seconds decides
// whether the user hears "opened" or why not. Real small programs stand in for the opener.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include "automation/hand_over.h"

using automation::ViewerReport;
using automation::viewerFailure;

namespace {

const QString kBook = "/home/u/workbooks/Book3.xlsx";

TEST(ViewerFailure, NamesTheFileWheneverTheOpenerDidNotTakeIt) {
  struct Case {
    const char* name;
    ViewerReport report;
    const char* mustSay;
  };
  const Case failures[] = {
      {"not started", {false, std::nullopt, false, {}}, "could not be started"},
      {"xdg-open without a method", {true, 3, false, "xdg-open: no method available for opening 'Book3.xlsx'\n"}, "code 3"},
      {"action failed", {true, 4, false, {}}, "code 4"},
      {"crashed", {true, std::nullopt, true, {}}, "ended abnormally"},
      {"says so and ends well", {true, 0, false, "gio: Failed to find default application for content type"}, "no application"},
  };
  for (const Case& c : failures) {
    const QString text = viewerFailure("xdg-open", kBook, c.report);
    EXPECT_TRUE(text.contains(kBook)) << c.name << ": " << text.toStdString();
    EXPECT_TRUE(text.contains(c.mustSay)) << c.name << ": " << text.toStdString();
  }
  // The opener's own words are passed on, on one line.
  EXPECT_TRUE(viewerFailure("xdg-open", kBook, failures[1].report)
                  .contains("It said: \"xdg-open: no method available for opening 'Book3.xlsx'\""));
}

TEST(ViewerFailure, AnOpenerThatEndedWellOrStillRunsTookTheFile) {
  EXPECT_EQ(viewerFailure("xdg-open", kBook, {true, 0, false, {}}), QString());
  EXPECT_EQ(viewerFailure("libreoffice", kBook, {true, std::nullopt, false, "Warning: some font\n"}), QString());
}

// Watches a real program and waits (in the event loop) for its report.
std::optional<ViewerReport> watch(const QString& program, const QStringList& arguments,
                                  std::chrono::milliseconds patience = std::chrono::milliseconds(3000)) {
  std::optional<ViewerReport> got;
  automation::watchViewer(program, arguments, patience, [&](const ViewerReport& report) { got = report; });
  EXPECT_FALSE(got.has_value()) << "the report came before the caller went back to its event loop";
  EXPECT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 10000));
  return got;
}

TEST(WatchViewer, ReportsTheExitCodeAndWhatTheOpenerSaid) {
  const auto report = watch("sh", {"-c", "echo 'no method available' >&2; exit 3"});
  ASSERT_TRUE(report);
  EXPECT_TRUE(report->started);
  EXPECT_EQ(report->exitCode, 3);
  EXPECT_EQ(report->errorOutput.trimmed(), "no method available");
}

TEST(WatchViewer, AProgramThatCannotStartIsReported) {
  const auto report = watch("/nonexistent/opener", {});
  ASSERT_TRUE(report);
  EXPECT_FALSE(report->started);
}

TEST(WatchViewer, AnOpenerStillRunningAtTheEndOfThePatienceTookTheFile) {
  const auto report = watch("sleep", {"0.5"}, std::chrono::milliseconds(50));
  ASSERT_TRUE(report);
  EXPECT_TRUE(report->started);
  EXPECT_FALSE(report->exitCode.has_value());
  EXPECT_FALSE(report->crashed);
  // It runs on unwatched and is never reported twice.
  QTest::qWait(700);
}

TEST(OpenWithViewer, TheCommandGetsTheFileAndItsFailureNamesIt) {
  std::optional<QString> failure;
  automation::openWithViewer(QString("sh -c \"exit 4\""), kBook, [&](const QString& text) { failure = text; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); }, 10000));
  EXPECT_TRUE(failure->contains(kBook)) << failure->toStdString();
  EXPECT_TRUE(failure->contains("code 4")) << failure->toStdString();

  failure.reset();
  automation::openWithViewer(QString("true"), kBook, [&](const QString& text) { failure = text; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); }, 10000));
  EXPECT_EQ(*failure, QString());
}

}  // namespace
