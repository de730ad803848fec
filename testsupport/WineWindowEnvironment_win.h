#pragma once
// The environment of a Windows test program with windows and controls: OLE on the test thread
// (the controls are COM objects), and the errors that window handlers raise collected instead of
// shown in a message box.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

#include "ErrorReport_win.h"

namespace testwin {

// What handlers raised since the test cleared it.
inline std::vector<std::string>& Errors() {
    static std::vector<std::string> errors;
    return errors;
}

// Work for the end of the program, before OLE goes (windows that outlive every test).
inline std::vector<std::function<void()>>& AtTearDown() {
    static std::vector<std::function<void()>> work;
    return work;
}

class WindowEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        SetExceptionReporter([](const std::exception& e) { Errors().push_back(e.what()); });
    }
    void TearDown() override {
        for (auto& work : AtTearDown()) work();
        OleUninitialize();
    }
};
inline const auto* const g_windowEnvironment =
    ::testing::AddGlobalTestEnvironment(new WindowEnvironment);

}  // namespace testwin
