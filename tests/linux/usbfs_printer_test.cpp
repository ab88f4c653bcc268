// Which interface and pipes the usbfs transfers use, read from the raw
// descriptors a usbfs node returns (the device's own bytes: outside input).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/linux/usbfs_printer.h"

namespace osa::usbfs {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Device(std::uint8_t configurations = 1) {
    return {18,   1,    0x00, 0x02, 0,    0, 0, 64, 0x34,
            0x12, 0x78, 0x56, 0x00, 0x01, 1, 2, 3,  configurations};
}

Bytes Interface(std::uint8_t number, std::uint8_t cls, std::uint8_t endpoints,
                std::uint8_t alternate = 0) {
    return {9, 4, number, alternate, endpoints, cls, 1, 2, 0};
}

Bytes Endpoint(std::uint8_t address, std::uint8_t type = 2, std::uint16_t packet = 512) {
    return {7,
            5,
            address,
            type,
            static_cast<std::uint8_t>(packet & 0xFF),
            static_cast<std::uint8_t>(packet >> 8),
            0};
}

Bytes Join(std::vector<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        for (std::uint8_t b : p)
            all.push_back(b);
    return all;
}

Bytes Config(std::uint8_t value, std::vector<Bytes> parts) {
    Bytes body = Join(std::move(parts));
    const auto total = static_cast<std::uint16_t>(9 + body.size());
    Bytes c{9,
            2,
            static_cast<std::uint8_t>(total & 0xFF),
            static_cast<std::uint8_t>(total >> 8),
            1,
            value,
            0,
            0xC0,
            50};
    for (std::uint8_t b : body)
        c.push_back(b);
    return c;
}

TEST(UsbfsPrinterPipes, FromTheDescriptors) {
    struct Row {
        const char* name;
        Bytes descriptors;
        std::uint8_t active;
        bool found;
        PrinterPipes expected;
    };
    const Bytes printer = Config(1, {Interface(0, 7, 2), Endpoint(0x01), Endpoint(0x82, 2, 64)});
    const Row rows[] = {
        {"a printer", Join({Device(), printer}), 0, true, {1, 0, 0, 0x01, 0x82, 64}},
        {"the printer interface after another",
         Join({Device(), Config(1, {Interface(0, 3, 1), Endpoint(0x81, 3), Interface(1, 7, 2),
                                    Endpoint(0x83, 2, 64), Endpoint(0x04)})}),
         0,
         true,
         {1, 1, 0, 0x04, 0x83, 64}},
        {"an alternate setting with both pipes",
         Join({Device(), Config(1, {Interface(0, 7, 1), Endpoint(0x01), Interface(0, 7, 2, 1),
                                    Endpoint(0x01), Endpoint(0x82)})}),
         0,
         true,
         {1, 0, 1, 0x01, 0x82, 512}},
        {"no reply pipe",
         Join({Device(), Config(1, {Interface(0, 7, 1), Endpoint(0x01)})}),
         0,
         false,
         {}},
        {"interrupt pipes only",
         Join({Device(), Config(1, {Interface(0, 7, 2), Endpoint(0x01, 3), Endpoint(0x82, 3)})}),
         0,
         false,
         {}},
        {"no printer interface",
         Join({Device(), Config(1, {Interface(0, 8, 2), Endpoint(0x01), Endpoint(0x82)})}),
         0,
         false,
         {}},
        {"the configuration in force",
         Join({Device(2), Config(1, {Interface(0, 7, 2), Endpoint(0x01), Endpoint(0x82)}),
               Config(2, {Interface(0, 7, 2), Endpoint(0x03), Endpoint(0x84)})}),
         2,
         true,
         {2, 0, 0, 0x03, 0x84, 512}},
        {"a descriptor of length zero",
         Join({Device(),
               Config(1, {Interface(0, 7, 2), Bytes{0, 5, 0, 0, 0, 0, 0}, Endpoint(0x82)})}),
         0,
         false,
         {}},
        {"a configuration longer than the bytes",
         Join({Device(), Bytes{9, 2, 0xFF, 0xFF, 1, 1, 0, 0xC0, 50}}),
         0,
         false,
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto pipes = FindPrinterPipes(row.descriptors, row.active);
        ASSERT_EQ(pipes.has_value(), row.found);
        if (!pipes) continue;
        EXPECT_EQ(pipes->configuration, row.expected.configuration);
        EXPECT_EQ(pipes->interface, row.expected.interface);
        EXPECT_EQ(pipes->alternate, row.expected.alternate);
        EXPECT_EQ(pipes->out, row.expected.out);
        EXPECT_EQ(pipes->in, row.expected.in);
        EXPECT_EQ(pipes->inPacketSize, row.expected.inPacketSize);
    }
}

TEST(UsbfsPrinterPipes, DescriptorsCutShortFindNothing) {
    const Bytes all =
        Join({Device(), Config(1, {Interface(0, 7, 2), Endpoint(0x01), Endpoint(0x82)})});
    for (std::size_t n = 0; n < all.size(); ++n)
        EXPECT_FALSE(FindPrinterPipes(std::span(all.data(), n)).has_value()) << n;
    EXPECT_TRUE(FindPrinterPipes(all).has_value());
}

} // namespace
} // namespace osa::usbfs
