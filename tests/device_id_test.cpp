#include <gtest/gtest.h>

#include <string>

#include "usb/device_id.h"

namespace osa::usb {
namespace {

TEST(DeviceId, ManufacturerRule) {
    using namespace std::string_literals;
    struct Row {
        const char* name;
        std::string id;
        bool accepted;
    } rows[] = {
        {"exact", "MANUFACTURER:Ostrandel Inc.;MODEL:Marlo;", true},
        {"value in lower case", "MANUFACTURER:ostrandel inc.;COMMAND SET:GPGL;", true},
        {"field later in the string", "CMD:X;MODEL:M;MANUFACTURER:OSTRANDEL INC.;", true},
        {"no closing semicolon", "MODEL:M;MANUFACTURER:Ostrandel Inc.", false},
        {"short key only", "MFG:Ostrandel Inc.;MDL:Marlo;", false},
        {"key in lower case", "manufacturer:Ostrandel Inc.;", false},
        {"another maker", "MANUFACTURER:Hemmerik;MODEL:Marlo;", false},
        {"value with a blank before it", "MANUFACTURER: Ostrandel Inc.;", false},
        {"longer value", "MANUFACTURER:Ostrandel Inc. Europe;", false},
        {"empty", "", false},
        {"text ends at the first NUL", "MODEL:M;\0MANUFACTURER:Ostrandel Inc.;"s, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IsCutterDeviceId(row.id.data(), row.id.size()), row.accepted);
    }
}

TEST(DeviceId, TextEndsAfterTheBytesReturned) {
    // No NUL anywhere: only `length` bytes count, the semicolon beyond them does not.
    const char id[] = {'M', 'A', 'N', 'U', 'F', 'A', 'C', 'T', 'U', 'R', 'E', 'R', ':', 'O',
                       's', 't', 'r', 'a', 'n', 'd', 'e', 'l', ' ', 'I', 'n', 'c', '.', ';'};
    EXPECT_TRUE(IsCutterDeviceId(id, sizeof(id)));
    EXPECT_FALSE(IsCutterDeviceId(id, sizeof(id) - 1));
    EXPECT_FALSE(IsCutterDeviceId(nullptr, 0));
}

} // namespace
} // namespace osa::usb
