#pragma once

#include <gtest/gtest.h>

#include "automation/automation.h"

namespace brenvik::testing {

// Each test runs with automation initialised on its thread, as the program's
// main thread has it.
class AutomationTest : public ::testing::Test {
protected:
    void SetUp() override { OleInitialize(nullptr); }
    void TearDown() override { OleUninitialize(); }
};

inline std::string Hex(const Bytes& bytes) {
    std::string out;
    char buffer[4];
    for (unsigned char c : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X ", c);
        out += buffer;
    }
    if (!out.empty()) out.pop_back();
    return out;
}

inline std::string Hex(const Text& text) { return Hex(ToBytes(text.view())); }

}  // namespace brenvik::testing
