// One QtTest executable per GUI area: each test file registers its test class with
// QUELT_GUI_TEST, and gui_test_main.cpp runs them all in one QApplication (offscreen, with
// every per-user folder in a scratch folder).
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace quelt::test {

using GuiTestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<GuiTestFactory>& GuiTests();

struct GuiTestRegistration {
    explicit GuiTestRegistration(GuiTestFactory factory) {
        GuiTests().push_back(std::move(factory));
    }
};

}  // namespace quelt::test

#define QUELT_GUI_TEST(Class)                                       \
    static const quelt::test::GuiTestRegistration kRegister##Class( \
        [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); });
