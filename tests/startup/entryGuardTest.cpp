// The program's entry keeps every error from ending it through terminate.
#include "common/entryGuard.h"

#include "engine/core/exception.h"
#include "engine/platform/messageBox.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using namespace kovra::test;

namespace {

class EntryGuard : public testing::Test {
protected:
    void SetUp() override {
        mPrevious = engine::platform::SetMessageBoxHandler(
            [this](const engine::platform::MessageBoxRequest& r) { boxes.push_back(r); });
    }
    void TearDown() override { engine::platform::SetMessageBoxHandler(mPrevious); }

    LogCapture log;
    std::vector<engine::platform::MessageBoxRequest> boxes;

private:
    engine::platform::MessageBoxHandler mPrevious;
};

TEST_F(EntryGuard, PassesTheBodysStatusThrough) {
    EXPECT_EQ(RunGuarded([] { return 0; }), 0);
    EXPECT_EQ(RunGuarded([] { return 2; }), 2);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(log.Rows(), "");
}

TEST_F(EntryGuard, ShowsTheEnginesExceptionWithItsSourceAsCaption) {
    EXPECT_EQ(RunGuarded([]() -> int {
                  throw engine::core::Exception(L"Could not create window handle",
                                                L".\\Window.cpp:86");
              }),
              1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Could not create window handle");
    EXPECT_EQ(boxes[0].caption, L".\\Window.cpp:86");
    EXPECT_EQ(boxes[0].owner, engine::platform::MessageBoxOwner::None);
    EXPECT_EQ(log.Rows(), ""); // logged where it was raised
}

TEST_F(EntryGuard, ShowsAndLogsOtherErrorsInsteadOfTerminating) {
    EXPECT_EQ(RunGuarded([]() -> int { throw std::bad_alloc(); }), 1);
    EXPECT_EQ(RunGuarded([]() -> int { throw std::runtime_error("disk full \xE9"); }), 1);
    EXPECT_EQ(RunGuarded([]() -> int { throw 42; }), 1);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, L"std::bad_alloc");
    EXPECT_EQ(boxes[0].caption, L"Unexpected error");
    EXPECT_EQ(boxes[1].text, L"disk full \u00E9");
    EXPECT_EQ(boxes[2].text, L"unknown exception");
    EXPECT_EQ(log.Rows(),
              ErrorRow(36, ".\\entryGuard.cpp", "Unexpected error: std::bad_alloc") +
                  ErrorRow(36, ".\\entryGuard.cpp", "Unexpected error: disk full \xE9") +
                  ErrorRow(38, ".\\entryGuard.cpp", "Unexpected error: unknown exception"));
}

} // namespace
