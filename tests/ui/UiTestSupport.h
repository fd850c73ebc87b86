#pragma once
// Helpers of the toolkit tests: the program's own resources, settings in a
// directory of their own, and the check that a test leaves no window behind.
#include <functional>

#include <gtest/gtest.h>

#include "TestEnv.h"
#include "app/ResourceModule.h"
#include "app/ResourceSource.h"

namespace uitest {

// Top-level widgets still alive after pending deletions ran (Qt's own hidden
// helper windows not counted).
int TopLevelWidgetCount();

// Runs `action` from the event loop as soon as it runs (inside a modal loop
// that the caller starts next).
void Later(std::function<void()> action);

// Every dialog test derives its fixture from this: it fails a test that leaves
// a top-level window behind.
class WindowTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(TopLevelWidgetCount(), 0) << "a window was left open"; }
};

// The program's own resources (templates, menus), as the program loads them.
class OwnResources {
public:
    OwnResources();
    const ResourceSource& Source() const { return m_source; }

private:
    ResourceModule m_own;
    ResourceSource m_source;
};

// QSettings' user scope in a temporary directory for the life of the object.
class IsolatedSettings {
public:
    IsolatedSettings();

private:
    testenv::TempDir m_dir;
};

} // namespace uitest
