#pragma once
// Opens a web page or a new mail message with the desktop's handler. Only
// http, https and mailto addresses are handed on: a page, a setting or a
// language file must not make the program open local files or run programs.
#include <QString>

// Results in the manner of the shell's "open": above 32 is success.
inline constexpr int kOpenDone = 33;
inline constexpr int kOpenNoAddress = 2;     // empty or unusable address
inline constexpr int kOpenRefused = 5;       // not http, https or mailto
inline constexpr int kOpenNoHandler = 31;    // the desktop has nothing to open it with

int OpenAddress(const QString& address);
