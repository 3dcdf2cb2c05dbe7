#include "engine/core/kernel.h"
#include "engine/core/exception.h"
#include "engine/core/log.h"
#include "engine/platform/messageBox.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using engine::core::Kernel;
using engine::core::Logging;
using engine::core::Module;
using engine::platform::MessageBoxOwner;
using engine::platform::MessageBoxRequest;
using namespace kovra::test;

namespace {

std::vector<std::string> gCalls;

// Records Start/Update/Kill into gCalls; OnUpdate lets a test act mid-pass.
class Probe : public Module {
public:
    Probe(const std::string& tag, int priority) : mTag(tag) {
        Name(std::wstring(tag.begin(), tag.end()));
        Priority(priority);
    }
    void Start() override {
        gCalls.push_back("start " + mTag);
        if (failStart)
            Logging::Get()->Error("cannot start " + mTag, ".\\probe.cpp", 7);
    }
    void Update() override {
        gCalls.push_back("update " + mTag);
        if (onUpdate)
            onUpdate();
    }
    void Kill() override { gCalls.push_back("kill " + mTag); }

    bool failStart = false;
    std::function<void()> onUpdate;

private:
    std::string mTag;
};

class KernelTest : public ::testing::Test {
protected:
    KernelTest() {
        gCalls.clear();
        delete Kernel::mInstance;
        mPrevious = engine::platform::SetMessageBoxHandler(
            [this](const MessageBoxRequest& request) { boxes.push_back(request); });
    }
    ~KernelTest() override {
        delete Kernel::mInstance;
        engine::platform::SetMessageBoxHandler(mPrevious);
    }

    // Runs the loop, asking for a quit in the pass numbered `passes`.
    void RunPasses(Probe& first, int passes) {
        int pass = 0;
        auto previous = first.onUpdate;
        first.onUpdate = [&, previous] {
            if (previous)
                previous();
            if (++pass == passes)
                Kernel::Get()->Quit();
        };
        Kernel::Get()->Run();
    }

    LogCapture log;
    std::vector<MessageBoxRequest> boxes;

private:
    engine::platform::MessageBoxHandler mPrevious;
};

TEST_F(KernelTest, PassesRunInPriorityOrderAndQuitLetsThePassFinish) {
    Probe renderer("renderer", 12000), screen("screen", 1), scene("scene", 200);
    Kernel::Get()->AddModule(&renderer, 10);
    Kernel::Get()->AddModule(&screen, 1);
    Kernel::Get()->AddModule(&scene, 10100);
    gCalls.clear();
    RunPasses(screen, 2);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"update screen", "update scene", "update renderer",
                                                "update screen", "update scene", "update renderer",
                                                "kill screen", "kill scene", "kill renderer"}));
    EXPECT_EQ(log.Rows(),
              MessageRow(76, ".\\kernel.cpp", "Adding new module renderer") +
                  MessageRow(85, ".\\kernel.cpp", "Module renderer sucessfully started") +
                  MessageRow(76, ".\\kernel.cpp", "Adding new module screen") +
                  MessageRow(85, ".\\kernel.cpp", "Module screen sucessfully started") +
                  MessageRow(76, ".\\kernel.cpp", "Adding new module scene") +
                  MessageRow(85, ".\\kernel.cpp", "Module scene sucessfully started") +
                  MessageRow(27, ".\\kernel.cpp", "Starting main loop") +
                  MessageRow(126, ".\\kernel.cpp", "Quit called") +
                  MessageRow(98, ".\\kernel.cpp", "Killing all modules"));
}

TEST_F(KernelTest, FailedStartWarnsShowsBoxAndKeepsTheModule) {
    Probe screen("screen", 1), timer("Timer", 10);
    timer.failStart = true;
    Kernel::Get()->AddModule(&screen, 1);
    Kernel::Get()->AddModule(&timer, 7);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"cannot start Timer");
    EXPECT_EQ(boxes[0].caption, L".\\probe.cpp:7");
    EXPECT_EQ(boxes[0].owner, MessageBoxOwner::Engine);
    EXPECT_EQ(Kernel::Get()->GetModule(7), &timer);
    gCalls.clear();
    RunPasses(screen, 1);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"update screen", "update Timer", "kill screen",
                                                "kill Timer"}));
    const std::string rows = log.Rows();
    EXPECT_NE(rows.find(ErrorRow(7, ".\\probe.cpp", "cannot start Timer") +
                        WarningRow(89, ".\\kernel.cpp", "Failed to start moduleTimer")),
              std::string::npos)
        << rows;
    EXPECT_EQ(rows.find("Module Timer sucessfully started"), std::string::npos);
}

TEST_F(KernelTest, RetiredModuleIsSkippedAndTheNextOneStillRuns) {
    Probe a("a", 1), b("b", 2), c("c", 3);
    for (Probe* p : {&a, &b, &c})
        Kernel::Get()->AddModule(p, p->Priority());
    a.onUpdate = [&] { b.SetAlive(false); };
    gCalls.clear();
    RunPasses(a, 2);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"update a", "update c", "update a", "update c",
                                                "kill a", "kill c", "kill b"}));
}

TEST_F(KernelTest, RetiringTheLastModuleEndsThePassCleanly) {
    Probe a("a", 1), b("b", 2);
    Kernel::Get()->AddModule(&a, 1);
    Kernel::Get()->AddModule(&b, 2);
    b.onUpdate = [&] { b.SetAlive(false); };
    gCalls.clear();
    RunPasses(a, 3);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"update a", "update b", "update a", "update a",
                                                "kill a", "kill b"}));
}

TEST_F(KernelTest, ExceptionInAPassIsReportedOncePerPassAndTheLoopGoesOn) {
    Probe screen("screen", 1), scene("scene", 200), renderer("renderer", 12000);
    for (Probe* p : {&screen, &scene, &renderer})
        Kernel::Get()->AddModule(p, p->Priority());
    scene.onUpdate = [] { Logging::Get()->Error("bad frame", ".\\scene.cpp", 12); };
    gCalls.clear();
    RunPasses(screen, 2);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"update screen", "update scene", "update screen",
                                                "update scene", "kill screen", "kill scene",
                                                "kill renderer"}));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, L"bad frame");
    EXPECT_EQ(boxes[1].caption, L".\\scene.cpp:12");
    EXPECT_EQ(boxes[1].owner, MessageBoxOwner::None);
    const std::string warning =
        WarningRow(65, ".\\kernel.cpp",
                   "Caught exception in main game loop: \"bad frame\" in .\\scene.cpp:12");
    const std::string rows = log.Rows();
    const auto first = rows.find(warning);
    ASSERT_NE(first, std::string::npos) << rows;
    EXPECT_NE(rows.find(warning, first + 1), std::string::npos);
}

TEST_F(KernelTest, TwoModulesUnderOneKeyBothRunAndTheFirstIsFound) {
    Probe first("first", 5), second("second", 6);
    Kernel::Get()->AddModule(&first, 3);
    Kernel::Get()->AddModule(&second, 3);
    EXPECT_EQ(Kernel::Get()->GetModule(3), &first);
    EXPECT_EQ(Kernel::Get()->GetModule(4), nullptr);
    gCalls.clear();
    RunPasses(first, 1);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"update first", "update second", "kill first",
                                                "kill second"}));
}

TEST_F(KernelTest, ModuleAddedFromStartIsStartedAtOnce) {
    Probe outer("outer", 100), inner("inner", 50);
    struct Adder : Probe {
        Adder(Probe& child) : Probe("adder", 10), child(child) {}
        void Start() override {
            Probe::Start();
            Kernel::Get()->AddModule(&child, 99);
        }
        Probe& child;
    } adder(inner);
    Kernel::Get()->AddModule(&outer, 1);
    Kernel::Get()->AddModule(&adder, 2);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"start outer", "start adder", "start inner"}));
    gCalls.clear();
    RunPasses(adder, 1);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"update adder", "update inner", "update outer",
                                                "kill adder", "kill inner", "kill outer"}));
}

TEST_F(KernelTest, ModuleAddedDuringAPassIsUpdatedAtMostOnceInThatPass) {
    Probe screen("screen", 1), scene("scene", 200), renderer("renderer", 12000);
    Probe early("early", 100), late("late", 13000);
    for (Probe* p : {&screen, &scene, &renderer})
        Kernel::Get()->AddModule(p, p->Priority());
    bool added = false;
    scene.onUpdate = [&] {
        if (added)
            return;
        added = true;
        // One before the scene in the list, one after it.
        Kernel::Get()->AddModule(&early, 50);
        Kernel::Get()->AddModule(&late, 51);
    };
    gCalls.clear();
    RunPasses(screen, 2);
    EXPECT_EQ(gCalls, (std::vector<std::string>{
                          "update screen", "update scene", "start early", "start late",
                          "update renderer", "update late", "update screen", "update early",
                          "update scene", "update renderer", "update late", "kill screen",
                          "kill early", "kill scene", "kill renderer", "kill late"}));
}

TEST_F(KernelTest, ModulesOfEqualPriorityKeepTheirOrderWhenOneIsAddedMidPass) {
    Probe a("a", 5), b("b", 5), c("c", 5), d("d", 5);
    for (Probe* p : {&a, &b, &c})
        Kernel::Get()->AddModule(p, 1);
    bool added = false;
    b.onUpdate = [&] {
        if (!added)
            Kernel::Get()->AddModule(&d, 2);
        added = true;
    };
    gCalls.clear();
    RunPasses(a, 1);
    EXPECT_EQ(gCalls,
              (std::vector<std::string>{"update a", "update b", "start d", "update c", "update d",
                                        "kill a", "kill b", "kill c", "kill d"}));
}

TEST_F(KernelTest, RegistryOutlivesKillAll) {
    Probe a("a", 1);
    Kernel::Get()->AddModule(&a, 2);
    RunPasses(a, 1);
    EXPECT_EQ(Kernel::Get()->GetModule(2), &a);
}

// A singleton whose constructor asks for the singleton again, as the effect
// pool does when its fallback effect needs a quad material.
class ReEntrant : public engine::pattern::Singleton<ReEntrant> {
public:
    ReEntrant() : seen(Get()) {}
    ReEntrant* seen;
};

TEST(Singleton, GetFromTheConstructorFindsTheInstanceBeingBuilt) {
    ReEntrant* instance = ReEntrant::Get();
    EXPECT_EQ(instance->seen, instance);
    EXPECT_EQ(ReEntrant::Get(), instance);
    delete instance;
    EXPECT_EQ(ReEntrant::mInstance, nullptr);
}

// A constructor that raises leaves no instance behind.
class Refusing : public engine::pattern::Singleton<Refusing> {
public:
    Refusing() {
        if (refuse)
            throw std::runtime_error("refused");
    }
    static inline bool refuse = true;
};

TEST(Singleton, AConstructorThatRaisesLeavesNoInstance) {
    EXPECT_THROW(Refusing::Get(), std::runtime_error);
    EXPECT_EQ(Refusing::mInstance, nullptr);
    Refusing::refuse = false;
    Refusing* instance = Refusing::Get();
    EXPECT_EQ(Refusing::mInstance, instance);
    delete instance;
}

TEST(Module, DefaultsAndCopies) {
    Probe p("p", 7);
    struct Plain : Module {
        void Start() override {}
        void Update() override {}
        void Kill() override {}
    } plain;
    EXPECT_EQ(plain.Name(), L"untitled");
    EXPECT_EQ(plain.Priority(), 5000);
    EXPECT_TRUE(plain.Alive());
    EXPECT_TRUE(plain.Load());
    EXPECT_FALSE(plain.Paused());
    p.SetAlive(false);
    static_cast<Module&>(plain) = p;
    EXPECT_EQ(plain.Name(), L"p");
    EXPECT_EQ(plain.Priority(), 7);
    EXPECT_FALSE(plain.Alive());
}

} // namespace
