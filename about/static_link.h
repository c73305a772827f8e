// CStaticLink: a label that is a clickable link, drawn underlined in blue, purple once opened.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <functional>
#include <optional>

class QUrl;

namespace ledgrix::about {
// Our own addresses; a target holding the mailbox part and "@" opens as a mail address.
inline constexpr const char* kMailboxPart = "support";
inline constexpr const char* kMailAddress = "support@ledgrix.example";
inline constexpr const char* kWebAddress = "https://ledgrix.example/";
}  // namespace ledgrix::about

class CStaticLink : public QLabel {
  Q_OBJECT

 public:
  // Hands a target to the desktop (a browser or mail program); true when that worked.
  using Opener = std::function<bool(const QUrl&)>;

  explicit CStaticLink(QWidget* parent = nullptr);
  explicit CStaticLink(const QString& text, QWidget* parent = nullptr);

  // The owner's flag: 1 once the link was opened. It outlives the control.
  void setVisitedFlag(int* flag);

  QColor normalColor() const { return m_normalColor; }
  QColor visitedColor() const { return m_visitedColor; }
  // The colour the text is drawn in now.
  QColor linkColor() const;
  bool isVisited() const { return *m_pVisitedFlag == 1; }
  bool isHovering() const { return m_bCaptured; }
  bool isClickPaused() const { return m_bClickPause; }
  QString linkTarget() const { return m_linkTarget; }

  // Replaces the desktop opener for the guard's lifetime (tests).
  class ScopedOpener {
   public:
    explicit ScopedOpener(Opener opener);
    ~ScopedOpener();
    ScopedOpener(const ScopedOpener&) = delete;
    ScopedOpener& operator=(const ScopedOpener&) = delete;

   private:
    Opener previous_;
  };

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  bool IsTextLabel() const;
  void TrackPointer(bool inside);
  void OnClick();
  void OnPauseEnd();

  QColor m_normalColor{0, 0, 255};
  QColor m_visitedColor{128, 0, 128};
  int m_unownedFlag = 0;  // used until the owner hands over its flag
  int* m_pVisitedFlag = &m_unownedFlag;
  bool m_bCaptured = false;
  bool m_bClickPause = false;
  QString m_linkTarget;
  std::optional<QFont> m_underlineFont;
  QTimer m_pauseTimer;
};
