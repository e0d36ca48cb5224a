// Closes the main window, as the user would, when the process is asked to
// end (SIGINT, SIGTERM, SIGHUP), so the log and the state files are saved.
#ifndef PARLEVO_APP_GUI_TERMINATION_SIGNALS_H_
#define PARLEVO_APP_GUI_TERMINATION_SIGNALS_H_

class QWidget;

namespace parlevo::gui {

// Installs the handlers once; `window` must live until the event loop ends.
// Does nothing on systems without POSIX signals.
void CloseOnTerminationSignals(QWidget* window);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_TERMINATION_SIGNALS_H_
