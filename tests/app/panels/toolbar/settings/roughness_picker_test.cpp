#include "panels/toolbar/settings/roughness_picker.h"

#include <QAbstractButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

QAbstractButton *segment(const RoughnessPicker &picker, RoughnessLevel level)
{
    return picker.findChild<QAbstractButton *>(QString::number(static_cast<int>(level)));
}

TEST(RoughnessPicker, SegmentsAreTheFourLevelsInOrder)
{
    RoughnessPicker picker;
    QStringList labels;
    for (auto *button : picker.findChildren<QAbstractButton *>()) {
        labels << button->text();
    }
    EXPECT_EQ(labels.join(','), QStringLiteral("Smooth,Slightly Rough,Rough,Very Rough"));
    EXPECT_EQ(segment(picker, RoughnessLevel::low)->text(), QStringLiteral("Slightly Rough"));
}

TEST(RoughnessPicker, ShowsTheLevelItIsGiven)
{
    RoughnessPicker picker;
    EXPECT_TRUE(segment(picker, RoughnessLevel::medium)->isChecked());
    picker.setLevel(RoughnessLevel::none);
    EXPECT_TRUE(segment(picker, RoughnessLevel::none)->isChecked());
    EXPECT_FALSE(segment(picker, RoughnessLevel::medium)->isChecked());
}

TEST(RoughnessPicker, PressingASegmentReportsItsLevel)
{
    RoughnessPicker picker;
    QSignalSpy chosen(&picker, &RoughnessPicker::levelChosen);
    segment(picker, RoughnessLevel::high)->click();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<RoughnessLevel>(), RoughnessLevel::high);
}

} // namespace
