// The command trace of the tests: every entry kept in order.
#pragma once
#include <string>
#include <vector>

#include "platform/debug_trace.h"

namespace osa {

struct TraceEntry {
    std::string label;
    std::string command;
    bool operator==(const TraceEntry&) const = default;
};

class MemoryDebugTrace : public DebugTrace {
  public:
    void Command(std::string_view label, std::string_view command) override {
        entries.push_back({std::string(label), std::string(command)});
    }
    std::vector<TraceEntry> entries;
};

} // namespace osa
