// In-memory single-instance service for tests: the test says whether another
// controller runs, and reads back the raise requests.
#pragma once
#include <string>
#include <vector>

#include "platform/instance_guard.h"

namespace osa {

class MemoryInstanceGuard final : public InstanceGuard {
  public:
    bool anotherRunning = false;
    int claims = 0;
    std::vector<std::string> raiseRequests; // the captions asked for

    bool ClaimFirstInstance() override {
        ++claims;
        return !anotherRunning;
    }
    void RaiseFirstInstance(std::string_view caption) override {
        raiseRequests.emplace_back(caption);
    }
};

} // namespace osa
