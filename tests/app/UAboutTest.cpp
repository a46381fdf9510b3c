#include "UAbout.h"
#include "AppTestSupport.h"

#include <QPushButton>

namespace {

class AboutTest : public AppTest {};

TEST_F(AboutTest, EachOpeningBuildsAFreshBoxWithTheSameTexts) {
    std::vector<TAbout *> boxes;
    for (int i = 0; i < 2; ++i)
        Answer<TAbout>([&](TAbout *About) {
            boxes.push_back(About);
            EXPECT_EQ(About->TarnwellNameLabel->text(), QStringLiteral("Compare Tarnwell"));
            EXPECT_EQ(About->versionLabel->text(), QStringLiteral("version: 1.01"));
            EXPECT_FALSE(About->iconImage->pixmap().isNull());
            // Sized to their texts, so the whole caption shows.
            EXPECT_GE(About->TarnwellNameLabel->width(),
                      About->TarnwellNameLabel->sizeHint().width());
            EXPECT_EQ(About->pos(), QPoint(198, 104));
            EXPECT_TRUE(About->OK->isDefault());
            // A box left over from the first opening would carry a changed text.
            About->versionLabel->setText(QStringLiteral("changed"));
            About->show();
            About->OK->click();
            EXPECT_FALSE(About->isVisible());
            EXPECT_EQ(About->result(), mrOk);
            return About->result();
        });
    ShowAboutBox(QStringLiteral("Compare Tarnwell"), QStringLiteral("1.01"));
    ShowAboutBox(QStringLiteral("Compare Tarnwell"), QStringLiteral("1.01"));
    ASSERT_EQ(boxes.size(), 2u);
}

} // namespace
