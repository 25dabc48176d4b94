#pragma once
// Registry of the Qt Test classes of test_gui: each test file registers its QObject test class
// with TESSARY_GUI_TEST(ClassName); GuiTestMain.cpp runs every registered class in turn.
#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessary::test {

struct GuiTestEntry {
    std::string name;
    std::function<std::unique_ptr<QObject>()> make;
};

inline std::vector<GuiTestEntry>& GuiTests() {
    static std::vector<GuiTestEntry> tests;
    return tests;
}

struct GuiTestRegistration {
    GuiTestRegistration(const char* name, std::function<std::unique_ptr<QObject>()> make) {
        GuiTests().push_back({name, std::move(make)});
    }
};

}  // namespace tessary::test

#define TESSARY_GUI_TEST(Class)                                                     \
    static const ::tessary::test::GuiTestRegistration g_guiTestRegistration##Class( \
        #Class, [] { return std::unique_ptr<QObject>(new Class); })
