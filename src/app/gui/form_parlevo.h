// The main window: picks two characters, runs their conversation, shows the
// transcript newest line on top, and keeps every line in "Parlevo.log".
//
// Threads: everything here runs on the GUI thread. A conversation thread
// reaches the window only through its own WindowLineSink, which hands each
// line over with a blocking queued call. The window never waits for a
// conversation that may be blocked in such a call without running that call.
#ifndef PARLEVO_APP_GUI_FORM_PARLEVO_H_
#define PARLEVO_APP_GUI_FORM_PARLEVO_H_

#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/gui/dialog_providers.h"
#include "app/gui/transcript_log.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;

namespace parlevo {
class TParlevoThread;
}

namespace parlevo::gui {

class TranscriptMemo;
class WindowLineSink;

// How a window is set up: where its log lives and who answers its dialogs.
struct FormOptions {
  QString log_folder;  // "" = the program's folder (see TranscriptLog)
  // Null members use the Qt dialogs. Non-null ones must outlive the window.
  FileOpenProvider* files = nullptr;
  TextInputProvider* input = nullptr;
  MessageProvider* messages = nullptr;
};

class TFormParlevo : public QMainWindow {
  Q_OBJECT

 public:
  using Options = FormOptions;

  static constexpr int32_t kStartInterval = 2000;
  static constexpr size_t kMemoCapacity = 25600;  // bytes of the code page form

  explicit TFormParlevo(const Options& options = {}, QWidget* parent = nullptr);
  ~TFormParlevo() override;

  // Builds a conversation between two base files (ANSI paths) and starts it,
  // as New does once both files are chosen: hourglass, status text, and the
  // message "不正な人格です" on failure. True when a conversation runs.
  bool StartConversation(const std::string& first_file, const std::string& second_file);

  // A line delivered by `from`; dropped unless `from` is the current
  // conversation.
  void AddLine(const TParlevoThread& from, const std::string& line);
  // Puts an ANSI line on top of the memo; when the memo then holds more than
  // kMemoCapacity bytes, its bottom line moves to the log (one per call).
  void ShowLine(const std::string& line);

  void SetInterval(int32_t value);
  int32_t Interval() const { return interval_; }
  // Shows `text` in the status bar and paints it at once.
  void SetStatus(const QString& text);

  bool HasConversation() const { return current_ != nullptr; }
  // Ended conversations still finishing their last turn.
  size_t FinishingCount() const { return finishing_.size(); }
  const std::vector<std::string>& LogLines() const { return log_.Lines(); }
  QString LogPath() const { return log_.Path(); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // One conversation with the sink it delivers to. The thread is declared
  // last so it goes first: the sink outlives it.
  struct Conversation {
    std::unique_ptr<WindowLineSink> sink;
    std::array<std::string, 2> data_folders;
    std::unique_ptr<TParlevoThread> thread;
  };

  void createActions();
  void createMenus();
  void createCentralArea();
  void createStatusBar();
  void placeWindow();

  void MenuConvNewClick();
  void MenuConvEndClick();
  void MenuConvBeginClick();
  void MenuConvStopClick();
  void MenuSpeedClick(QAction* item);
  void MenuHelpAboutClick();
  void MenuHelpGuideClick();
  void EditFormatChange(const QString& text);

  // Builds the conversation; false (and no conversation) on any failure.
  bool BuildConversation(const std::string& first_file, const std::string& second_file);
  void SetMenuState(bool running, bool paused);
  void ShowMessage(const QString& text);
  // Lets go of the current conversation: its sink drops further lines and it
  // finishes on its own, watched by the reap timer.
  void ReleaseCurrent();
  // Destroys the finished conversations; notices a current one that ended
  // by itself.
  void Reap();
  // Exit: stops every conversation, saves the log, then waits for the
  // conversations to finish (one turn each) so their state files are whole.
  void Shutdown();
  QString AboutText() const;

  QtDialogProviders qt_dialogs_;
  FileOpenProvider* files_;
  TextInputProvider* input_;
  MessageProvider* messages_;

  TranscriptLog log_;
  int32_t interval_ = kStartInterval;
  std::unique_ptr<Conversation> current_;
  std::vector<std::unique_ptr<Conversation>> finishing_;
  QTimer* reap_timer_ = nullptr;
  bool shut_down_ = false;

  QLineEdit* EditFormat = nullptr;
  TranscriptMemo* Memo = nullptr;
  QLabel* StatusPanel = nullptr;

  QMenu* MenuConv = nullptr;
  QAction* MenuConvNew = nullptr;
  QAction* MenuConvEnd = nullptr;
  QAction* MenuConvBegin = nullptr;
  QAction* MenuConvStop = nullptr;
  QAction* MenuConvExit = nullptr;
  QMenu* MenuSpeed = nullptr;
  QAction* MenuSpeedSlow = nullptr;
  QAction* MenuSpeedNormal = nullptr;
  QAction* MenuSpeedFast = nullptr;
  QAction* MenuSpeedMostFast = nullptr;
  QAction* MenuSpeedOption = nullptr;
  QAction* checked_speed_ = nullptr;
  QMenu* MenuHelp = nullptr;
  QMenu* MenuHelpWeb = nullptr;
  QAction* MenuHelpWebGuide = nullptr;
  QAction* MenuHelpAbout = nullptr;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_FORM_PARLEVO_H_
