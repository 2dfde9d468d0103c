#pragma once

#include <QString>

// The system's own words for why a call failed, in the user's language:
// what a message gives as the reason. One implementation per system
// (store/<system>/SystemError.cpp), chosen by the build.
namespace SystemError {

// The error of the call that failed last on this thread (errno on Linux,
// GetLastError() on Windows); read before anything else can change it.
QString last();
// An error code as the system gives it: an errno value on Linux; a Windows
// error code or an HRESULT on Windows.
QString of(unsigned long code);

} // namespace SystemError
