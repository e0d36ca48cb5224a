// The main window: picks two to eight characters, runs their conversation through a
// ConversationController, shows the transcript newest line on top, and keeps
// every line in "Parlevo.log".
//
// Threads: everything here runs on the GUI thread; the controller hands each
// line of the current conversation over on that thread.
//
// The class is defined across form_*.cpp, one file per responsibility: the
// commands and exit, the menus, the transcript, the watcher joining in, the
// status, the settings and the recent pairs.
#ifndef PARLEVO_APP_GUI_FORM_PARLEVO_H_
#define PARLEVO_APP_GUI_FORM_PARLEVO_H_

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/gui/conversation_controller.h"
#include "app/gui/dialog_providers.h"
#include "app/gui/line_provenance.h"
#include "app/gui/transcript_log.h"
#include "app/gui/window_settings.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSettings;
class QTimer;

namespace parlevo::gui {

class ElidedLabel;
class FindBar;
class JoinBar;
class TranscriptMemo;

// How a window is set up: where its log and settings live and who answers
// its dialogs.
struct FormOptions {
  QString log_folder;     // "" = the program's folder (see TranscriptLog)
  QString settings_file;  // "" = the user's settings for Parlevo
  // Opens a folder or file with the desktop's handler; null = QDesktopServices.
  std::function<bool(const QUrl&)> open_url;
  // Null members use the Qt dialogs. Non-null ones must outlive the window.
  FileOpenProvider* files = nullptr;
  FileSaveProvider* saves = nullptr;
  TextInputProvider* input = nullptr;
  MessageProvider* messages = nullptr;
  // The samples the character dialog offers; none = the shipped ones.
  std::optional<QStringList> sample_files;
};

class TFormParlevo : public QMainWindow {
  Q_OBJECT

 public:
  using Options = FormOptions;

  static constexpr int32_t kStartInterval = 2000;
  static constexpr size_t kMemoCapacity = 25600;  // bytes of the code page form
  // A shown line reaches the log file at most this long after it arrived.
  static constexpr int kLogFlushMilliseconds = 1000;
  // The longest line a watcher may say, in bytes of the code page form.
  static constexpr size_t kMaxJoinedBytes = kMaxInputLineBytes;  // as in chat

  explicit TFormParlevo(const Options& options = {}, QWidget* parent = nullptr);
  ~TFormParlevo() override;

  // Builds a conversation between two base files (native paths) and starts it,
  // as New does once both files are chosen: hourglass, status text, and the
  // message "不正な人格です" (with the file and the reason) on failure. True
  // when a conversation runs.
  bool StartConversation(const std::string& first_file, const std::string& second_file);
  // The same for a group of 2 to 8 base files, the first opening.
  bool StartConversation(const std::vector<std::string>& files);

  // Puts an ANSI line at the memo's newest end and queues it for the log;
  // when the memo then holds more than kMemoCapacity bytes, its oldest line
  // leaves it (one per call).
  void ShowLine(const std::string& line);
  // The same for a line of the conversation, with where it came from.
  void ShowTurn(const TTurn& turn);

  void SetInterval(int32_t value);
  int32_t Interval() const { return interval_; }
  // Shows `text` in the status bar and paints it at once.
  void SetStatus(const QString& text);

  bool HasConversation() const { return conversation_->HasConversation(); }
  // Ended conversations still finishing their last turn.
  size_t FinishingCount() const { return conversation_->FinishingCount(); }
  QString LogPath() const { return log_.Path(); }
  // Writes the lines queued for the log now rather than within the second.
  void FlushLog();
  // Lines shown since the conversation started.
  int LineCount() const { return line_count_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // The conversation and help commands, exit (form_parlevo.cpp).
  void placeWindow();
  void MenuConvNewClick();
  void MenuConvEndClick();
  void MenuConvBeginClick();
  void MenuConvStopClick();
  void MenuHelpAboutClick();
  void MenuHelpGuideClick();
  QString AboutText() const;
  void ShowRefusal(const CharacterRefusal& refusal, const std::vector<std::string>& files);
  // The character dialog: 2 to 8 characters chosen in one place
  // (form_choose.cpp).
  void ChooseCharactersClick();
  // Pause or resume, whichever the state allows.
  void TogglePause();
  // Exit: stops every conversation, writes the log, then waits for the
  // conversations to finish (one turn each) so their state files are whole.
  void Shutdown();

  // The menus, each action made, wired and added in one place (form_menus.cpp).
  void createMenus();
  void createConversationMenu();
  void createSpeedMenu();
  void createHelpMenu();
  void createViewMenu();
  // The toolbar: start, pause/resume, end and the speed (form_toolbar.cpp).
  void createToolBar();
  // Shows the interval now in use beside the speed control.
  void ShowSpeed();

  // The transcript: the pattern field, the memo and its lines, the log and
  // saving a copy (form_transcript.cpp).
  void createCentralArea();
  void createLog();
  void AddTranscriptLine(const std::string& line, const LineProvenance* source, int speaker);
  void EditFormatChange(const QString& text);
  // Says once, in the status bar and a message box, that the log cannot be
  // written, and offers to keep the transcript in a file the user chooses.
  void ReportLogFailure(const QString& error);
  void SaveTranscriptAs();
  void OpenLogFolder();
  void OpenDataFile(const QString& path);
  // 表示 → 新しい行を下に: the transcript's order, kept between runs.
  void SetNewestAtBottom(bool at_bottom);

  // The watcher joining in: the input line and what it sends (form_join.cpp).
  JoinBar* createJoinBar(QWidget* parent);
  void ShowJoinBar(bool shown);
  // Says `text` as the watcher in the current conversation; refused with a
  // message when it is too long, and when no conversation runs.
  void SendJoinedLine(const QString& text);

  // The status bar, the title and the menu states (form_status.cpp).
  void createStatusBar();
  // Shows the conversation's state: which commands are enabled, the status
  // text, the title and the conversation panel. The one place they change.
  void ApplyState(ConversationState state);
  // The title and the conversation panel, from the state now.
  void UpdateConversationStatus();
  void ShowMessage(const QString& text);
  // A failure's status stays until a success replaces it: state changes
  // leave it (SetStatus is a success, or a prompt).
  void SetFailureStatus(const QString& text);
  // What the user should know as the characters start: one message listing
  // read-only folders and skipped data files, and a status that stays.
  void ShowStartNotices(const std::vector<std::string>& files);
  void ShowSource(const LineProvenance* source);
  void OnSaveFailed(const QString& state_file, const QString& reason);
  void OnReloaded(const QString& errors);

  // The speed and what is kept between runs (form_settings.cpp).
  void MenuSpeedClick(QAction* item);
  void RestoreSettings();
  void StoreSettings();

  // The recent pairs and groups of characters (form_recent_pairs.cpp).
  void RememberStartedGroup(const std::vector<std::string>& files);
  void StartRecentGroup(const CharacterGroup& group);
  void RebuildRecentMenu();

  QtDialogProviders qt_dialogs_;
  FileOpenProvider* files_;
  FileSaveProvider* saves_;
  TextInputProvider* input_;
  MessageProvider* messages_;

  TranscriptLog log_;
  QTimer* log_timer_ = nullptr;
  bool log_failure_reported_ = false;
  std::function<bool(const QUrl&)> open_url_;
  std::optional<QStringList> sample_files_;
  std::unique_ptr<QSettings> settings_;
  WindowSettings remembered_;
  int line_count_ = 0;
  ConversationState shown_state_ = ConversationState::kIdle;
  int32_t interval_ = kStartInterval;
  ConversationController* conversation_ = nullptr;
  bool shut_down_ = false;
  bool restoring_ = false;       // RestoreSettings is setting the widgets
  bool failure_status_ = false;  // the status shows a failure

  QLineEdit* EditFormat = nullptr;
  TranscriptMemo* Memo = nullptr;
  ElidedLabel* StatusPanel = nullptr;
  ElidedLabel* ConversationPanel = nullptr;
  FindBar* Find = nullptr;
  JoinBar* Join = nullptr;

  QAction* MenuConvNew = nullptr;
  QAction* MenuConvEnd = nullptr;
  QAction* MenuConvBegin = nullptr;
  QAction* MenuConvStop = nullptr;
  QAction* MenuReload = nullptr;
  QAction* MenuJoin = nullptr;
  QAction* MenuChoose = nullptr;  // the character dialog
  QAction* MenuNewestAtBottom = nullptr;
  QAction* ToolPause = nullptr;  // pause or resume, as the state allows
  QMenu* MenuRecent = nullptr;
  QComboBox* SpeedBox = nullptr;
  QLabel* SpeedLabel = nullptr;
  // The speed items, one checked: the last one that set the interval.
  QActionGroup* MenuSpeedItems = nullptr;
  QAction* checked_speed_ = nullptr;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_FORM_PARLEVO_H_
