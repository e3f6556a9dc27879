#include "common/uuid_table.h"

#include <gtest/gtest.h>

#include <string>

using namespace zentrel;

namespace {

// Identifiers that differ in one byte only, the worst case for a hash that looks at few bits.
Uuid numbered(std::size_t number, std::size_t byte)
{
    Uuid id;
    id.bytes[byte] = static_cast<std::uint8_t>(number);
    id.bytes[byte == 15 ? 14 : byte + 1] = static_cast<std::uint8_t>(number >> 8);
    return id;
}

} // namespace

TEST(UuidTable, FindsWhatWasAddedAndGrowsPastItsFirstSize)
{
    for (const std::size_t byte : {0u, 7u, 8u, 15u}) {
        UuidTable<std::string> table(4);
        for (std::size_t i = 0; i < 1000; ++i) {
            auto [value, added] = table.tryEmplace(numbered(i, byte));
            ASSERT_TRUE(added);
            value = std::to_string(i);
        }
        for (std::size_t i = 0; i < 1000; ++i) {
            const std::string *value = table.find(numbered(i, byte));
            ASSERT_NE(value, nullptr);
            EXPECT_EQ(*value, std::to_string(i));
        }
        EXPECT_EQ(table.find(numbered(1000, byte)), nullptr);
        auto [again, added] = table.tryEmplace(numbered(7, byte));
        EXPECT_FALSE(added);
        EXPECT_EQ(again, "7");
    }
}
