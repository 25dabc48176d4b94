// Runs every Qt Test class registered with TESSARY_GUI_TEST, on the offscreen platform unless
// another is asked for. Arguments go to each class; "-class NAME" runs only that class.
#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "GuiTestRegistry.h"

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);

    const char* only = nullptr;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-class") == 0 && i + 1 < argc) {
            only = argv[++i];
            continue;
        }
        args.push_back(argv[i]);
    }

    int failed = 0;
    int ran = 0;
    for (const auto& entry : tessary::test::GuiTests()) {
        if (only != nullptr && entry.name != only) {
            continue;
        }
        auto test = entry.make();
        failed += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data()) != 0;
        ++ran;
    }
    if (ran == 0) {
        std::fprintf(stderr, "no test class %s\n", only != nullptr ? only : "registered");
        return 1;
    }
    return failed == 0 ? 0 : 1;
}
