// SkiffS: synchronous FTP transfer of one file per call.
//
// Every string is a NUL-terminated byte string in the caller's code page (Shift-JIS / CP932 on the
// target systems). The library copies what it needs into the calling thread's job record and keeps
// nothing of the caller's after the call returns. No exception leaves the library: every outcome is
// an int code.
//
// Return codes of Skiff_SendD and Skiff_GetD (enum SkiffResult below; Skiff_ResultText gives a text):
//   SKIFF_OK                 0  transfer finished, or ended early by Skiff_Cancel
//   SKIFF_INVALID_ARGUMENT  -1  invalid argument (see the limits below)
//   SKIFF_NO_CONNECTION     -2  the server cannot be reached, the login is refused, or connect/login
//                               timed out
//   SKIFF_LOCAL_FILE_ERROR  -3  the local file cannot be opened (for reading on upload, for writing on
//                               download)
//   SKIFF_REMOTE_ERROR      -4  remote side: the remote directory cannot be entered (upload), the
//                               remote file is not listed (download), or the server failed or stalled
//                               while the file was opened or transferred
//   SKIFF_TEMP_COPY_ERROR   -5  the temporary copy of the file cannot be made or read
//   SKIFF_NO_MEMORY         -6  no memory for the calling thread's job record
//   SKIFF_HOST_BUSY         -7  a transfer for the same host is already running
//   SKIFF_NO_JOB_ENTRY      -8  no job entry: 100 transfers were already running when this one started
//
// Argument limits (anything outside them gives SKIFF_INVALID_ARGUMENT before the server is
// contacted):
//   host       not empty, at most 63 bytes, letters, digits and . - _ : [ ] % only
//   user       not empty, at most 255 bytes, no CR or LF
//   password   may be empty, at most 31 bytes, no CR or LF
//   paths      not empty, at most 260 bytes (also after a remote name conversion), no control bytes
//   mode       0 = ASCII, 1 = binary
//   passive    Skiff_SendD: 0 or 1; Skiff_GetD: any value, nonzero means passive
//   conversion 0 none, 1 Shift-JIS to JIS, 2 Shift-JIS to EUC-JP, 3 JIS to Shift-JIS,
//              4 EUC-JP to Shift-JIS; file contents are converted in ASCII mode only
//   port       0 means 21
//
// Both transfer calls set the process's current directory to the directory of the running
// executable, so a relative local path names a file beside the executable.
//
// Threads: Skiff_SendD and Skiff_GetD block their caller and may run in several threads at once, one
// transfer per thread and one per host. Skiff_GetStatus and Skiff_Cancel may be called from any
// thread at any time; they are meant for watching or stopping a transfer that blocks another thread.
//
// Bounds: every call ends, with a code, within bounds that do not depend on the server's goodwill.
//   reply limit     connect and every server reply: 30 seconds (SKIFFS_TIMEOUT sets another number
//                   of seconds); a reply dripped byte by byte counts from its command all the same.
//   final reply     the reply that confirms an uploaded file: 300 seconds (SKIFFS_FINAL_REPLY_TIMEOUT
//                   sets another number of seconds), as a device may write the file to flash before it
//                   answers. An error reply, or none within the bound, gives SKIFF_REMOTE_ERROR.
//   stall floor     a data connection that moves fewer than 64 bytes per second, averaged over one
//                   reply limit, has stalled (SKIFF_REMOTE_ERROR): a modem of 2400 bit/s passes, a
//                   server that drips a few bytes per second does not.
//   whole call      17 reply limits and the final-reply bound on upload, 18 reply limits on
//                   download, plus the file's bytes at 64 bytes per second (on download the listed
//                   size, twice it in ASCII mode, and the 64 KiB margin below).
//   closing         the reply to QUIT, when a session closes: 5 seconds, or the reply limit when
//                   that is shorter; nothing depends on it.
//
// Upload data: the whole file is read into memory, on a thread of its own, while its first blocks
// already go out. A read that fails midway ends the call with SKIFF_TEMP_COPY_ERROR and leaves on the
// server what was sent; a file that shrinks while it is read is sent as far as it still reached.
//
// Upload progress counts the 1024-byte blocks that have been written to the network (on Windows: handed
// to WinInet, which writes each before it returns), not those merely prepared; a cancel holds back every block after the one on its way. What the kernel
// already holds (a send buffer of 64 KiB asked for, which the kernel doubles) still reaches the
// server, so a cancelled upload leaves there the blocks counted as done and at most that much more.
//
// Download size: the server may send the listed size (twice it in ASCII mode) and 64 KiB more; a
// server that sends more ends the call with SKIFF_REMOTE_ERROR. The data goes to a new file beside
// the local file (named like it, with ".part-" and six characters appended) that takes the local
// file's place only when the transfer ended well or was cancelled; after SKIFF_REMOTE_ERROR the local
// file is as the download check left it (unchanged, or empty when the call created it). A local
// folder where that new file cannot be made gives SKIFF_LOCAL_FILE_ERROR.
//
// Converted copies (ASCII mode with a conversion) are written to a private folder made once per
// process, exclusively, with an unpredictable name ($TMPDIR/skiffs-<pid>-XXXXXX, mode 0700). A copy is
// removed when its call ends, and the folder at exit; on SIGHUP, SIGINT, SIGQUIT or SIGTERM the copies
// and the folder are removed before the signal ends the process, unless the program has its own
// handler for that signal or ignores it.
// On Windows the folder is %TEMP%\skiffs-<pid>-XXXXXX, removed at exit; there are no signals to clean up after.
// SKIFFS_VERBOSE set to any value prints the FTP conversation to standard error (not on Windows).
//
// Kept session: with SKIFFS_KEEP_SESSION set to 1 (any other value, or none, gives every call a
// session of its own) a call that returns SKIFF_OK leaves its FTP session open for the next call of
// the same thread. When that call goes to the same host, port, user and password with the same passive
// setting, it neither connects nor logs in: for an upload the server then sees CWD to the login
// directory, CWD into the file's directory, CWD back (no CWD at all for a file in the login
// directory), EPSV (PASV or EPRT as ever), TYPE only when the transfer type changes, and STOR; a
// download lists and retrieves as ever, without the login. A call with other connection settings
// first closes the kept session (QUIT). Each call still has its own bounds (the whole call's counted
// from its start), tracing, job entry, progress and cancel; an idle kept session holds no host. The
// session is closed after any call that does not return SKIFF_OK and when the thread ends; a
// connection idle for more than 10 seconds is not used again, a new login replaces it. When the first
// exchange of a call over the kept connection fails without a reply, or with 421 (a device that
// restarted answers with a reset, or one that closed the connection), the call starts over once on a new
// connection and ends as it would have without the kept session; the time lost on the dead
// connection (at most one reply limit) comes on top of the whole call's bound. Sessions are per
// thread: threads that send to one device each keep their own.
#pragma once

#if defined(_WIN32)
#if defined(SKIFFS_BUILDING)
#define SKIFFS_API __declspec(dllexport)
#else
#define SKIFFS_API __declspec(dllimport)
#endif
#else
#define SKIFFS_API __attribute__((visibility("default")))
#endif

// The codes the transfer calls return. The values are part of the library's binary interface.
enum SkiffResult {
    SKIFF_OK = 0,
    SKIFF_INVALID_ARGUMENT = -1,
    SKIFF_NO_CONNECTION = -2,
    SKIFF_LOCAL_FILE_ERROR = -3,
    SKIFF_REMOTE_ERROR = -4,
    SKIFF_TEMP_COPY_ERROR = -5,
    SKIFF_NO_MEMORY = -6,
    SKIFF_HOST_BUSY = -7,
    SKIFF_NO_JOB_ENTRY = -8,
};

class SKIFFS_API CSkiffClient {
public:
    // Uploads localPath to remotePath. The directory part of remotePath must exist on the server;
    // the file is stored under the whole path, relative to the login directory. A remote name is
    // converted to EUC-JP when codeConversion is 2.
    // Returns a SkiffResult.
    int Skiff_SendD(const char* host, const char* user, const char* password, unsigned short port,
                    int transferMode, const char* localPath, const char* remotePath, int passive,
                    int codeConversion);

    // Downloads remotePath to localPath. The remote file must appear in the listing of its directory
    // (the name is matched without regard to ASCII letter case). A remote name is converted to EUC-JP
    // when codeConversion is 4. The local file is created when missing.
    // Returns a SkiffResult.
    int Skiff_GetD(const char* host, const char* user, const char* password, unsigned short port,
                   int transferMode, const char* remotePath, const char* localPath, int passive,
                   int codeConversion);
};

extern "C" {

// Progress of the transfer running for host: *total receives its number of 1024-byte blocks, *done
// the blocks sent or reads completed so far; both are 0 when no transfer for host is running.
// Either pointer may be null. Returns 0.
SKIFFS_API int Skiff_GetStatus(const char* host, int* total, int* done);

// Asks the transfer running for host to stop before its next block. The transfer then ends as if
// complete, with SKIFF_OK: an upload leaves the blocks sent so far on the server, a download the
// data received so far in the local file. Does nothing when no transfer for host is running. Returns 0.
SKIFFS_API int Skiff_Cancel(const char* host);

// A short English text that says what a code of Skiff_SendD or Skiff_GetD means, for logs and
// messages: a static string, never null; a code that is no SkiffResult gets a text that says so.
SKIFFS_API const char* Skiff_ResultText(int code);

}  // extern "C"
