// The hyperlink control and the about box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <functional>

#include "about/about_box.h"
#include "about/about_dialog.h"
#include "about/static_link.h"

namespace {

const QColor kBlue(0, 0, 255);
const QColor kPurple(128, 0, 128);

// Records every target handed to the desktop and answers with ok.
struct RecordingOpener {
  QStringList opened;
  bool ok = true;
  CStaticLink::ScopedOpener guard{[this](const QUrl& url) {
    opened.append(url.toString());
    return ok;
  }};
};

void Click(CStaticLink& link) {
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(2, 2));
}

// The longest horizontal run of pixels of colour: an underline spans the whole text.
int LongestRun(const QImage& image, const QColor& colour) {
  int longest = 0;
  for (int y = 0; y < image.height(); ++y) {
    int run = 0;
    for (int x = 0; x < image.width(); ++x) {
      run = image.pixelColor(x, y).rgb() == colour.rgb() ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  return longest;
}

QImage Render(QWidget& widget) {
  return widget.grab().toImage();
}

TEST(StaticLinkTest, HoverShowsAHandAndAClickPausesTrackingForASecond) {
  RecordingOpener opener;
  CStaticLink link(QStringLiteral("https://ledgrix.example/"));
  link.resize(200, 30);
  link.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&link));

  QTest::mouseMove(&link, QPoint(10, 10));
  EXPECT_TRUE(link.isHovering());
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseMove(&link, QPoint(250, 10));
  EXPECT_FALSE(link.isHovering());
  EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);

  QTest::mouseMove(&link, QPoint(10, 10));
  Click(link);
  EXPECT_TRUE(link.isClickPaused());
  EXPECT_FALSE(link.isHovering());
  QTest::mouseMove(&link, QPoint(12, 12));
  EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);

  EXPECT_TRUE(QTest::qWaitFor([&] { return !link.isClickPaused(); }, 3000));
  QTest::mouseMove(&link, QPoint(14, 14));
  EXPECT_TRUE(link.isHovering());
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
}

TEST(StaticLinkTest, TextIsDrawnUnderlinedInTheLinkColourWhichAFailedOpenLeavesBlue) {
  RecordingOpener opener;
  int visited = 0;
  CStaticLink link(QStringLiteral("https://ledgrix.example/"));
  link.setVisitedFlag(&visited);
  link.resize(240, 30);
  const int textWidth = link.fontMetrics().horizontalAdvance(link.text());
  opener.ok = false;
  Click(link);
  EXPECT_EQ(opener.opened.size(), 1);
  EXPECT_EQ(visited, 0);
  EXPECT_GE(LongestRun(Render(link), kBlue), textWidth * 8 / 10);
  EXPECT_EQ(LongestRun(Render(link), kPurple), 0);
  opener.ok = true;
  Click(link);
  EXPECT_EQ(visited, 1);
  EXPECT_GE(LongestRun(Render(link), kPurple), textWidth * 8 / 10);
  EXPECT_EQ(LongestRun(Render(link), kBlue), 0);
}

TEST(StaticLinkTest, APictureLabelIsPaintedAsUsual) {
  QPixmap picture(16, 16);
  picture.fill(Qt::green);
  QLabel plain;
  plain.setPixmap(picture);
  plain.resize(40, 40);
  CStaticLink link;
  link.setPixmap(picture);
  link.resize(40, 40);
  EXPECT_EQ(Render(link), Render(plain));
}

// ---- About box ----------------------------------------------------------------------------

// Runs ShowAboutBox, handing the open box to drive before closing it with OK.
void WithAboutBox(int& mail, int& web, const std::function<void(CAboutDialog&)>& drive) {
  bool driven = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CAboutDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    drive(*dialog);
    driven = true;
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  ledgrix::about::ShowAboutBox(nullptr, mail, web);
  EXPECT_TRUE(driven);
}

// Our mail address opens as mailto: on every click, the web address as it is; the visited
// colour lasts into the next box.
TEST(AboutBoxTest, LinksOpenTheirTargetsAndAVisitedOneStaysPurpleInTheNextBox) {
  RecordingOpener opener;
  int mail = 0, web = 0;
  WithAboutBox(mail, web, [](CAboutDialog& box) {
    Click(*box.mailLink());
    Click(*box.mailLink());
  });
  EXPECT_EQ(mail, 1);
  EXPECT_EQ(web, 0);
  const QString mailto = QStringLiteral("mailto:support@ledgrix.example");
  EXPECT_EQ(opener.opened, (QStringList{mailto, mailto}));

  WithAboutBox(mail, web, [](CAboutDialog& box) {
    EXPECT_EQ(box.mailLink()->linkColor(), kPurple);
    EXPECT_EQ(box.webLink()->linkColor(), kBlue);
    Click(*box.webLink());
  });
  EXPECT_EQ(web, 1);
  EXPECT_EQ(opener.opened.back(), "https://ledgrix.example/");
}

}  // namespace
