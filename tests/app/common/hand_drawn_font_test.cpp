#include "common/hand_drawn_font.h"

#include "common/bundled_fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QRawFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

using namespace zentrel;

namespace {

// Where the build put the fonts it fetched, beside the program.
const QString buildResources = QStringLiteral(ZENTREL_BUILD_RESOURCES);
const QString bundledFonts = buildResources + QStringLiteral("/Resources/Fonts");

class HandDrawnFont : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(bundledFonts + QStringLiteral("/Virgil.otf"))) {
            GTEST_SKIP() << "the build could not fetch the hand-drawn fonts";
        }
    }

    void TearDown() override { QFontDatabase::removeAllApplicationFonts(); }
};

// The family the font resolves to, as text that a failure shows readably.
std::string drawnFamily(const QFont &font)
{
    return QFontInfo(font).family().toStdString();
}

} // namespace

TEST_F(HandDrawnFont, IsTheBundledVirgilWhileItIsRegisteredAndTheSystemFontWithout)
{
    const std::string fallback = drawnFamily(handDrawnFont(30));
    if (fallback == "Virgil") {
        GTEST_SKIP() << "Virgil is installed on this system";
    }
    QTemporaryDir empty;
    EXPECT_EQ(registerBundledFonts({empty.path()}, QStringLiteral("Virgil"), QStringLiteral("otf")),
              std::nullopt);
    EXPECT_EQ(drawnFamily(handDrawnFont(30)), fallback);

    ASSERT_EQ(
        registerBundledFonts({buildResources}, QStringLiteral("Virgil"), QStringLiteral("otf")),
        bundledFonts + QStringLiteral("/Virgil.otf"));
    const QFont bundled = handDrawnFont(30);
    EXPECT_EQ(drawnFamily(bundled), "Virgil");
    EXPECT_EQ(QFontInfo(bundled).pixelSize(), 30);

    // The lookup follows the fonts as they change, not only the first answer it gave.
    QFontDatabase::removeAllApplicationFonts();
    EXPECT_EQ(drawnFamily(handDrawnFont(30)), fallback);
}

TEST_F(HandDrawnFont, ExcalifontIsOneFontWithTheCharactersOfEveryPart)
{
    ASSERT_TRUE(registerBundledFonts(
        {buildResources}, QStringLiteral("Excalifont"), QStringLiteral("otf")));
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Excalifont")));

    const QRawFont font(bundledFonts + QStringLiteral("/Excalifont.otf"), 30);
    ASSERT_TRUE(font.isValid());
    // One character from each of the seven parts the font came in: Latin, extended Latin,
    // Greek, Cyrillic, old Cyrillic, combining accents and signs.
    for (const char16_t character : {u'A', u'Ł', u'Σ', u'Ж', u'ѣ', u'\u0301', u'∑'}) {
        EXPECT_TRUE(font.supportsCharacter(QChar(character)))
            << "no glyph for U+" << QString::number(character, 16).toStdString();
    }
}
