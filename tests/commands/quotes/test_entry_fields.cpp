// The keystroke rules of the number and date fields.
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include "commands/quotes/date_edit.h"
#include "commands/quotes/number_edit.h"

namespace {

struct Selection {
  int start, end;
  bool operator==(const Selection&) const = default;
};

Selection SelectionOf(const QLineEdit& edit) {
  if (!edit.hasSelectedText())
    return {edit.cursorPosition(), edit.cursorPosition()};
  return {edit.selectionStart(), edit.selectionEnd()};
}

void PrintTo(const Selection& s, std::ostream* os) {
  *os << "(" << s.start << ", " << s.end << ")";
}

// A date field as the dialogs set it up: eight characters, the buffer filled from the text.
class DateEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    edit.setMaxLength(8);
    edit.setText(QStringLiteral("01/15/99"));
    edit.setBuffer(edit.text());
    edit.show();
    edit.setFocus();
  }
  void Select(int start, int end) {
    if (start == end)
      edit.setCursorPosition(start);
    else
      edit.setSelection(start, end - start);
  }
  CDateEdit edit;
};

TEST_F(DateEditTest, DigitsWalkMonthDayYearFromAFullSelection) {
  Select(0, 8);
  const struct {
    char digit;
    const char* text;
    Selection next;
  } steps[] = {{'0', "01/15/99", {1, 2}}, {'2', "02/15/99", {3, 5}}, {'2', "02/25/99", {4, 5}},
               {'8', "02/28/99", {6, 8}}, {'0', "02/28/09", {7, 8}}, {'0', "02/28/00", {0, 2}}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.digit);
    QTest::keyClick(&edit, step.digit);
    EXPECT_EQ(edit.text(), QString::fromLatin1(step.text));
    EXPECT_EQ(SelectionOf(edit), step.next);
  }
  EXPECT_EQ(edit.buffer(), QStringLiteral("02/28/00"));
}

TEST_F(DateEditTest, EachSelectionOfTheTableStoresAtItsPosition) {
  const struct {
    Selection from;
    const char* text;
    Selection next;
  } cases[] = {
      {{0, 0}, "71/15/99", {1, 2}}, {{0, 1}, "71/15/99", {1, 2}}, {{0, 2}, "71/15/99", {1, 2}},
      {{1, 2}, "07/15/99", {3, 5}}, {{3, 5}, "01/75/99", {4, 5}}, {{4, 4}, "01/75/99", {4, 5}},
      {{4, 5}, "01/17/99", {6, 8}}, {{6, 7}, "01/15/79", {7, 8}}, {{6, 8}, "01/15/79", {7, 8}},
      {{7, 8}, "01/15/97", {0, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.from));
    edit.setText(QStringLiteral("01/15/99"));
    edit.setBuffer(edit.text());
    Select(c.from.start, c.from.end);
    QTest::keyClick(&edit, '7');
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
    EXPECT_EQ(SelectionOf(edit), c.next);
  }
}

TEST_F(DateEditTest, ADigitOffTheGroupsIsRefusedAndSelectsAGroup) {
  const struct {
    Selection from;
    Selection next;
  } cases[] = {
      {{3, 3}, {0, 2}},  // after the first separator: back to the month
      {{2, 2}, {0, 2}}, {{5, 5}, {0, 2}}, {{1, 1}, {0, 2}},
      {{8, 8}, {0, 2}}, {{4, 6}, {3, 5}},  // a start inside the day
      {{7, 7}, {6, 8}},                    // a start inside the year
      {{2, 5}, {0, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.from));
    Select(c.from.start, c.from.end);
    QTest::keyClick(&edit, '5');
    EXPECT_EQ(edit.text(), QStringLiteral("01/15/99"));
    EXPECT_EQ(SelectionOf(edit), c.next);
  }
}

TEST_F(DateEditTest, KeysOtherThanDigitsChangeNothing) {
  QApplication::clipboard()->setText(QStringLiteral("12/31/05"));
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
  } keys[] = {{Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
              {Qt::Key_Delete, Qt::NoModifier, "Delete"},
              {Qt::Key_Left, Qt::NoModifier, "Left"},
              {Qt::Key_Right, Qt::NoModifier, "Right"},
              {Qt::Key_Home, Qt::NoModifier, "Home"},
              {Qt::Key_End, Qt::NoModifier, "End"},
              {Qt::Key_Right, Qt::ShiftModifier, "Shift+Right"},
              {Qt::Key_Slash, Qt::NoModifier, "/"},
              {Qt::Key_A, Qt::NoModifier, "a"},
              {Qt::Key_Space, Qt::NoModifier, "space"},
              {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
              {Qt::Key_X, Qt::ControlModifier, "Ctrl+X"},
              {Qt::Key_Z, Qt::ControlModifier, "Ctrl+Z"}};
  for (const auto& k : keys) {
    SCOPED_TRACE(k.name);
    Select(3, 5);
    QTest::keyClick(&edit, k.key, k.modifiers);
    EXPECT_EQ(edit.text(), QStringLiteral("01/15/99"));
    EXPECT_EQ(SelectionOf(edit), (Selection{3, 5}));
  }
  // Typed text too: a letter between digits leaves the walk where it was.
  Select(0, 8);
  QTest::keyClicks(&edit, QStringLiteral("1x2"));
  EXPECT_EQ(edit.text(), QStringLiteral("12/15/99"));
}

TEST_F(DateEditTest, TheBufferNotTheShownTextReceivesTheDigits) {
  // Text that reached the control some other way is replaced by the buffer on the next digit.
  edit.setText(QStringLiteral("garbage!"));
  Select(0, 8);
  QTest::keyClick(&edit, '1');
  EXPECT_EQ(edit.text(), QStringLiteral("11/15/99"));
}

TEST(DateEdit, TabStillMovesTheFocus) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* date = new CDateEdit(&window);
  auto* other = new QLineEdit(&window);
  layout->addWidget(date);
  layout->addWidget(other);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  date->setFocus();
  ASSERT_TRUE(date->hasFocus());
  QTest::keyClick(date, Qt::Key_Tab);
  EXPECT_TRUE(other->hasFocus());
}

TEST(NumberEdit, AdmitsDigitsAndPointsOnly) {
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{"1.5", "1.5"}, {"12..3", "12..3"}, {"-1", "1"}, {"2e3", "23"},
               {"1,5", "15"},  {"+7", "7"},        {"a b", ""}, {"0.0", "0.0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    CNumberEdit edit;
    QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.shown));
  }
}

TEST(NumberEdit, EditingKeysKeepTheirMeaning) {
  CNumberEdit edit;
  edit.setMaxLength(5);
  QTest::keyClicks(&edit, QStringLiteral("123456"));
  EXPECT_EQ(edit.text(), QStringLiteral("12345"));  // the field's limit
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClick(&edit, Qt::Key_Home);
  QTest::keyClick(&edit, Qt::Key_Delete);
  EXPECT_EQ(edit.text(), QStringLiteral("234"));
  // Pasted text is not filtered.
  QApplication::clipboard()->setText(QStringLiteral("x"));
  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit.text(), QStringLiteral("x234"));
}

}  // namespace
