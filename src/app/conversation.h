// A conversation between two characters on a thread of its own: the opening
// turn, then strictly alternating turns, paced by an interval, each utterance
// formatted into one transcript line and handed to a LineSink.
//
// Thread-safety: every public member is called from one owning thread (the
// window's or the CLI's main thread); the conversation thread is the only one
// that calls into the two characters once they are built.
#ifndef PARLEVO_APP_CONVERSATION_H_
#define PARLEVO_APP_CONVERSATION_H_

// CONTRACT (filled in by the conversation work; the window and the CLI use it):
//
//   class TParlevoThread;
//
//   // Receives each transcript line on the conversation thread and returns once
//   // the line has been taken (the window hands it to its own thread and waits).
//   // An implementation must return promptly once its owner has let go of the
//   // conversation (it then drops the line), so a finishing conversation never
//   // waits on a window that is itself waiting for it.
//   class LineSink {
//    public:
//     virtual ~LineSink() = default;
//     virtual void DeliverLine(const TParlevoThread& from, const std::string& line) = 0;
//   };
//
//   inline constexpr std::string_view kDefaultLogFormat = "%charname > %comment";
//
//   class TParlevoThread {
//    public:
//     // Builds character 0 and then character 1 on the calling thread, introduces
//     // them to each other and starts the thread. Throws ELumoInvalidCharacter or
//     // platform::EFileError (then no thread runs and nothing is left behind).
//     TParlevoThread(std::string_view first_file, std::string_view second_file,
//                    std::string_view log_format, int32_t interval, LineSink& sink);
//     // Requests the stop, lets the current turn finish, joins, and releases both
//     // characters (their state files are saved).
//     ~TParlevoThread();
//     void SetLogFormat(std::string_view value);   // "" -> the default pattern
//     void SetInterval(int32_t value);             // negative values are ignored
//     void Terminate();                            // stop after the current turn
//     void Pause();                                // halt between turns
//     void Resume();
//     bool Finished() const;                       // the thread has ended
//     void WaitFor();                              // join (characters released)
//     TCharacter& Character(int index);            // only while not running (tests)
//   };
//
//   // Text helpers of the transcript.
//   std::string FormatLine(std::string_view log_format, std::string_view name, std::string_view said);
//   std::u16string StripBraces(std::u16string_view text);

#endif  // PARLEVO_APP_CONVERSATION_H_
