// GoogleTest main with a QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

namespace {
QtMessageHandler g_previous = nullptr;
// The offscreen platform complains of every dialog it sizes; that says nothing about our code.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints")))
    return;
  if (g_previous)
    g_previous(type, context, message);
}
}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  g_previous = qInstallMessageHandler(QuietHandler);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
