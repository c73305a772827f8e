// The keystroke rules of the number and date fields.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "commands/quotes/date_edit.h"
#include "commands/quotes/number_edit.h"

namespace {

struct Selection {
  int start, end;
  bool operator==(const Selection&) const = default;
};

void PrintTo(const Selection& s, std::ostream* os) {
  *os << "(" << s.start << ", " << s.end << ")";
}

// A date field as the dialogs set it up: eight characters, the buffer filled from the text.
class DateEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    edit.setMaxLength(8);
    Reset();
    edit.show();
    edit.setFocus();
  }
  void Reset() {
    edit.setText(QStringLiteral("01/15/99"));
    edit.setBuffer(edit.text());
  }
  void Select(Selection s) {
    if (s.start == s.end)
      edit.setCursorPosition(s.start);
    else
      edit.setSelection(s.start, s.end - s.start);
  }
  Selection Selected() const {
    if (!edit.hasSelectedText())
      return {edit.cursorPosition(), edit.cursorPosition()};
    return {edit.selectionStart(), edit.selectionEnd()};
  }
  CDateEdit edit;
};

TEST_F(DateEditTest, DigitsWalkMonthDayYearFromAFullSelection) {
  Select({0, 8});
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
    EXPECT_EQ(Selected(), step.next);
  }
  EXPECT_EQ(edit.buffer(), QStringLiteral("02/28/00"));
}

TEST_F(DateEditTest, ADigitStoresAtItsGroupOrIsRefusedAndSelectsAGroup) {
  // Text unchanged: refused, as after a separator, inside a group or across groups.
  const struct {
    Selection from;
    const char* text;
    Selection next;
  } cases[] = {
      {{0, 0}, "71/15/99", {1, 2}}, {{0, 1}, "71/15/99", {1, 2}}, {{0, 2}, "71/15/99", {1, 2}},
      {{1, 2}, "07/15/99", {3, 5}}, {{3, 5}, "01/75/99", {4, 5}}, {{4, 4}, "01/75/99", {4, 5}},
      {{4, 5}, "01/17/99", {6, 8}}, {{6, 7}, "01/15/79", {7, 8}}, {{6, 8}, "01/15/79", {7, 8}},
      {{7, 8}, "01/15/97", {0, 2}}, {{3, 3}, "01/15/99", {0, 2}}, {{2, 2}, "01/15/99", {0, 2}},
      {{5, 5}, "01/15/99", {0, 2}}, {{1, 1}, "01/15/99", {0, 2}}, {{8, 8}, "01/15/99", {0, 2}},
      {{4, 6}, "01/15/99", {3, 5}}, {{7, 7}, "01/15/99", {6, 8}}, {{2, 5}, "01/15/99", {0, 2}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.from));
    Reset();
    Select(c.from);
    QTest::keyClick(&edit, '7');
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
    EXPECT_EQ(Selected(), c.next);
  }
}

TEST_F(DateEditTest, KeysOtherThanDigitsChangeNothing) {
  QApplication::clipboard()->setText(QStringLiteral("12/31/05"));
  const QKeyCombination keys[] = {Qt::Key_Backspace,    Qt::Key_Delete,
                                  Qt::Key_Left,         Qt::Key_Right,
                                  Qt::Key_Home,         Qt::Key_End,
                                  Qt::Key_Slash,        Qt::Key_A,
                                  Qt::Key_Space,        Qt::SHIFT | Qt::Key_Right,
                                  Qt::CTRL | Qt::Key_V, Qt::CTRL | Qt::Key_X,
                                  Qt::CTRL | Qt::Key_Z};
  for (const auto& k : keys) {
    SCOPED_TRACE(QKeySequence(k).toString().toStdString());
    Select({3, 5});
    QTest::keyClick(&edit, k.key(), k.keyboardModifiers());
    EXPECT_EQ(edit.text(), QStringLiteral("01/15/99"));
    EXPECT_EQ(Selected(), (Selection{3, 5}));
  }
  // A letter between digits leaves the walk where it was.
  Select({0, 8});
  QTest::keyClicks(&edit, QStringLiteral("1x2"));
  EXPECT_EQ(edit.text(), QStringLiteral("12/15/99"));
  // Text that reached the control some other way gives way to the buffer on the next digit.
  edit.setText(QStringLiteral("garbage!"));
  Select({0, 8});
  QTest::keyClick(&edit, '0');
  EXPECT_EQ(edit.text(), QStringLiteral("02/15/99"));
  // Text from an input method goes through the same rules.
  Select({3, 5});
  QInputMethodEvent composed;
  composed.setCommitString(QStringLiteral("x7"));
  QApplication::sendEvent(&edit, &composed);
  EXPECT_EQ(edit.text(), QStringLiteral("02/75/99"));
  EXPECT_EQ(Selected(), (Selection{4, 5}));
}

TEST(DateEdit, TabStillMovesTheFocus) {
  QWidget window;
  auto* date = new CDateEdit(&window);
  auto* other = new QLineEdit(&window);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  date->setFocus();
  QTest::keyClick(date, Qt::Key_Tab);
  EXPECT_TRUE(other->hasFocus());
}

TEST(NumberEdit, AdmitsTypedDigitsAndPointsOnly) {
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
  // Ctrl or Meta do not let a refused character through (AltGr arrives as Ctrl+Alt on some
  // systems), nor does an input method.
  CNumberEdit typed;
  QTest::keyClick(&typed, '1');
  for (const Qt::KeyboardModifiers mods :
       {Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier),
        Qt::KeyboardModifiers(Qt::MetaModifier)}) {
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_E, mods, QStringLiteral("\u20ac"));
    QApplication::sendEvent(&typed, &euro);
  }
  for (const char* committed : {"x", "2"}) {
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromLatin1(committed));
    QApplication::sendEvent(&typed, &composed);
  }
  EXPECT_EQ(typed.text(), QStringLiteral("12"));

  // Editing keys keep their meaning, and pasted text is not filtered.
  CNumberEdit edit;
  QTest::keyClicks(&edit, QStringLiteral("1234"));
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClick(&edit, Qt::Key_Home);
  QTest::keyClick(&edit, Qt::Key_Delete);
  QApplication::clipboard()->setText(QStringLiteral("x"));
  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit.text(), QStringLiteral("x23"));
}

}  // namespace
