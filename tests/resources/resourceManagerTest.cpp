#include "engine/core/resourceManager.h"
#include "engine/core/exception.h"
#include "engine/core/log.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using engine::core::ResourceManager;
using engine::core::resources::UnmanagedResource;

namespace {

std::vector<std::string> gCalls;

class Target : public UnmanagedResource {
public:
    explicit Target(std::wstring name) : UnmanagedResource(std::move(name)) {}
    void Create() override {
        Note("create");
        if (Name() == L"broken")
            engine::core::Logging::Get()->Error("cannot create", "f", 1);
    }
    void Release() override { Note("release"); }
    void Update() override { Note("update"); }
    void OnLostDevice() override { Note("lost"); }
    void OnResetDevice() override { Note("reset"); }

private:
    void Note(const std::string& what) {
        gCalls.push_back(what + " " + std::string(Name().begin(), Name().end()));
    }
};

class DepthTarget : public Target {
public:
    using Target::Target;
};

class ResourceManagerTest : public ::testing::Test {
protected:
    ResourceManagerTest() { gCalls.clear(); }
    ~ResourceManagerTest() override { delete ResourceManager::mInstance; }
    kovra::test::LogCapture log;
};

TEST_F(ResourceManagerTest, FindsOrCreatesOncePerNameCaseSensitive) {
    auto* manager = ResourceManager::Get();
    auto a = manager->Get<Target>(L"glow");
    auto b = manager->Get<Target>(L"glow");
    auto c = manager->Get<Target>(L"Glow");
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"create glow", "create Glow"}));
}

TEST_F(ResourceManagerTest, NameOfAnotherTypeGivesEmptyPointer) {
    auto* manager = ResourceManager::Get();
    auto depth = manager->Get<DepthTarget>(L"shadow");
    auto colour = manager->Get<Target>(L"reflection");
    EXPECT_EQ(manager->Get<Target>(L"shadow"), depth); // a depth target is a target
    EXPECT_EQ(manager->Get<DepthTarget>(L"reflection"), nullptr);
    EXPECT_EQ(gCalls.size(), 2u);
}

TEST_F(ResourceManagerTest, FailedCreateStoresNothingAndIsRetried) {
    auto* manager = ResourceManager::Get();
    EXPECT_THROW(manager->Get<Target>(L"broken"), engine::core::Exception);
    EXPECT_THROW(manager->Get<Target>(L"broken"), engine::core::Exception);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"create broken", "create broken"}));
}

TEST_F(ResourceManagerTest, DeviceProtocolVisitsInNameThenInsertionOrder) {
    auto* manager = ResourceManager::Get();
    manager->Get<Target>(L"b");
    manager->Get<Target>(L"a");
    manager->AddUnnamed(std::make_shared<Target>(L"mesh2"));
    manager->AddUnnamed(std::make_shared<Target>(L"mesh1"));
    gCalls.clear();
    manager->LostDeviceAll();
    manager->ResetDeviceAll();
    manager->UpdateAll();
    delete ResourceManager::mInstance;
    EXPECT_EQ(gCalls, (std::vector<std::string>{
                          "lost a", "lost b", "reset a", "reset b", "reset mesh2", "reset mesh1",
                          "update a", "update b", "update mesh2", "update mesh1", "release a",
                          "release b", "release mesh2", "release mesh1"}));
}

TEST_F(ResourceManagerTest, AddUnmanagedReplacesAnEntry) {
    auto* manager = ResourceManager::Get();
    auto first = manager->Get<Target>(L"scene");
    auto replacement = std::make_shared<Target>(L"scene");
    manager->AddUnmanaged(L"scene", replacement);
    EXPECT_EQ(manager->Get<Target>(L"scene"), replacement);
}

} // namespace
