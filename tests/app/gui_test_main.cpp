// main of the GUI tests: an offscreen QApplication around GoogleTest.
#include <gtest/gtest.h>

#include <QApplication>

namespace {
// The offscreen platform says so for every window that has a size policy; nothing to see.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains(QStringLiteral("propagateSizeHints")))
    return;
  qt_message_output(type, context, text);
}
}  // namespace

int main(int argc, char* argv[]) {
  qInstallMessageHandler(QuietHandler);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
