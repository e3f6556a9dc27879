#include "common/uuid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace zentrel;

TEST(Uuid, ParsesEitherCaseAndWritesUpperCase)
{
    const auto uuid = Uuid::parse("0a1b2c3d-4e5f-6a7b-8c9d-aebfc0d1e2f3");
    ASSERT_TRUE(uuid);
    EXPECT_EQ(uuid->text(), "0A1B2C3D-4E5F-6A7B-8C9D-AEBFC0D1E2F3");
    EXPECT_EQ(Uuid::parse(uuid->text()), uuid);
}

TEST(Uuid, RejectsTextThatIsNotCanonical)
{
    for (const char *text : {"",
                             "0A1B2C3D4E5F6A7B8C9DAEBFC0D1E2F3",
                             "0A1B2C3D-4E5F-6A7B-8C9D-AEBFC0D1E2F",
                             "0A1B2C3D-4E5F-6A7B-8C9D-AEBFC0D1E2F3 ",
                             "{0A1B2C3D-4E5F-6A7B-8C9D-AEBFC0D1E2F}",
                             "0A1B2C3D-4E5F-6A7B-8C9D_AEBFC0D1E2F3",
                             "GA1B2C3D-4E5F-6A7B-8C9D-AEBFC0D1E2F3"}) {
        EXPECT_FALSE(Uuid::parse(text)) << text;
    }
}

TEST(Uuid, GeneratesVersionFourFromTheInjectedSource)
{
    std::vector<std::uint64_t> draws{0xFFFFFFFFFFFFFFFFULL, 0, 0x0123456789ABCDEFULL, 0};
    std::size_t next = 0;
    const UuidRandomSource source = [&] {
        return draws[next++];
    };

    const Uuid first = Uuid::generate(source);
    EXPECT_EQ(first.text(), "FFFFFFFF-FFFF-4FFF-8000-000000000000");
    const Uuid second = Uuid::generate(source);
    EXPECT_EQ(second.text(), "01234567-89AB-4DEF-8000-000000000000");
    EXPECT_NE(first, second);
    EXPECT_NE(Uuid::generate(systemUuidRandomSource()), Uuid::generate(systemUuidRandomSource()));
}

// Identifiers sort as their texts do, whichever byte tells them apart.
TEST(Uuid, OrdersAsItsText)
{
    for (std::size_t byte = 0; byte < 16; ++byte) {
        Uuid low;
        low.bytes.fill(0x80);
        Uuid high = low;
        low.bytes[byte] = 0x01;
        high.bytes[byte] = 0xF0;
        // A larger byte later on must not outweigh the one that differs first.
        if (byte + 1 < 16) {
            low.bytes[byte + 1] = 0xFF;
        }
        EXPECT_LT(low, high) << "byte " << byte;
        EXPECT_GT(high, low) << "byte " << byte;
        EXPECT_LT(low.text(), high.text()) << "byte " << byte;
        EXPECT_EQ(low <=> low, std::strong_ordering::equal);
    }
}
