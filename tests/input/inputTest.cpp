#include "engine/core/input.h"

#include <gtest/gtest.h>

namespace {

using engine::core::Input;
using engine::core::InputUpdate;
using engine::core::MouseButton;
namespace vk = engine::core::vk;

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        delete Input::mInstance;
        Input::mFirstMouseMove = true; // as in a fresh process
        module.Start();
    }
    void TearDown() override { delete Input::mInstance; }

    InputUpdate module;
};

TEST_F(InputTest, IsTheLastModuleNamedInput) {
    EXPECT_EQ(module.Name(), L"Input");
    EXPECT_EQ(module.Priority(), 14000);
}

TEST(InputState, QueryBeforeAnyModuleCreatesTheStateAndReadsUp) {
    delete Input::mInstance;
    EXPECT_FALSE(Input::Get()->isPressed(vk::kEscape));
    EXPECT_NE(Input::mInstance, nullptr);
    EXPECT_EQ(Input::Get()->MouseDx(), 0x7FFFFFFF);
    EXPECT_EQ(Input::Get()->MouseDy(), 0x7FFFFFFF);
    delete Input::mInstance;
}

TEST_F(InputTest, KeyHeldAcrossPassesReadsPressedHeldThenReleased) {
    Input* input = Input::Get();
    input->KeyDown(vk::kRight);
    EXPECT_TRUE(input->isPressed(vk::kRight));
    EXPECT_FALSE(input->isHeld(vk::kRight));
    EXPECT_FALSE(input->isReleased(vk::kRight));
    for (int pass = 0; pass < 2; ++pass) {
        module.Update();
        EXPECT_FALSE(input->isPressed(vk::kRight));
        EXPECT_TRUE(input->isHeld(vk::kRight));
        EXPECT_FALSE(input->isReleased(vk::kRight));
    }
    module.Update();
    input->KeyUp(vk::kRight);
    EXPECT_FALSE(input->isPressed(vk::kRight));
    EXPECT_FALSE(input->isHeld(vk::kRight));
    EXPECT_TRUE(input->isReleased(vk::kRight));
    module.Update();
    EXPECT_FALSE(input->isReleased(vk::kRight));
    EXPECT_FALSE(input->isPressed('Q'));
}

TEST_F(InputTest, KeyDownAndUpBetweenTwoPassesIsNeverSeen) {
    Input* input = Input::Get();
    input->KeyDown('Q');
    input->KeyUp('Q');
    EXPECT_FALSE(input->isPressed('Q'));
    EXPECT_FALSE(input->isReleased('Q'));
}

TEST_F(InputTest, KeysOutsideTheCodeRangeReadUpAndWriteNothing) {
    Input* input = Input::Get();
    input->KeyDown(256);
    input->KeyDown(-1);
    EXPECT_FALSE(input->isPressed(256));
    EXPECT_FALSE(input->isPressed(-1));
    EXPECT_FALSE(input->isHeld(1000));
    for (int key = 0; key < 256; ++key)
        ASSERT_FALSE(input->isPressed(key)) << key;
}

TEST_F(InputTest, MouseDeltaIsTheLastMoveOfThePass) {
    Input* input = Input::Get();
    input->MouseMove(100, 50); // the process's first move: no delta
    EXPECT_EQ(input->MouseDx(), 0);
    EXPECT_EQ(input->MouseDy(), 0);
    input->MouseMove(110, 45);
    input->MouseMove(113, 40);
    EXPECT_EQ(input->MouseX(), 113);
    EXPECT_EQ(input->MouseY(), 40);
    EXPECT_EQ(input->MouseDx(), 3);
    EXPECT_EQ(input->MouseDy(), -5);
    module.Update();
    EXPECT_EQ(input->MouseDx(), 0);
    EXPECT_EQ(input->MouseDy(), 0);
    EXPECT_EQ(input->MouseX(), 113);
}

TEST_F(InputTest, OnlyTheProcessesFirstMoveLacksADelta) {
    Input::Get()->MouseMove(10, 10);
    delete Input::mInstance; // the state is deleted at shutdown, the history is not
    module.Start();
    Input::Get()->MouseMove(4, 7);
    EXPECT_EQ(Input::Get()->MouseDx(), 4);
    EXPECT_EQ(Input::Get()->MouseDy(), 7);
}

TEST_F(InputTest, ButtonsFollowTheirMessagesAndPassOnToThePreviousState) {
    Input* input = Input::Get();
    input->ButtonDown(MouseButton::Left);
    input->ButtonDown(MouseButton::Right);
    input->ButtonUp(MouseButton::Right);
    EXPECT_TRUE(input->ButtonIsDown(MouseButton::Left));
    EXPECT_FALSE(input->ButtonIsDown(MouseButton::Right));
    EXPECT_FALSE(input->ButtonWasDown(MouseButton::Left));
    module.Update();
    EXPECT_TRUE(input->ButtonWasDown(MouseButton::Left));
    EXPECT_FALSE(input->ButtonWasDown(MouseButton::Middle));
}

TEST_F(InputTest, StartClearsEverything) {
    Input* input = Input::Get();
    input->KeyDown('W');
    input->ButtonDown(MouseButton::Left);
    module.Update();
    input->MouseMove(5, 6);
    module.Start();
    EXPECT_FALSE(input->isHeld('W'));
    EXPECT_FALSE(input->isPressed('W'));
    EXPECT_FALSE(input->ButtonIsDown(MouseButton::Left));
    EXPECT_FALSE(input->ButtonWasDown(MouseButton::Left));
    EXPECT_EQ(input->MouseX(), 0);
    EXPECT_EQ(input->MouseDx(), 0);
}

TEST_F(InputTest, KillDeletesTheState) {
    Input::Get();
    module.Kill();
    EXPECT_EQ(Input::mInstance, nullptr);
}

} // namespace
