#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "console/Platform.h"

namespace platform {

namespace {

// ShellExecute's results of 32 and below are these failures.
std::string shellFailureReason(INT_PTR result) {
    switch (result) {
    case 0:
    case SE_ERR_OOM: return "out of memory";
    case SE_ERR_FNF: return "file not found";
    case SE_ERR_PNF: return "path not found";
    case SE_ERR_ACCESSDENIED: return "access denied";
    case SE_ERR_SHARE: return "sharing violation";
    case SE_ERR_NOASSOC: return "no program is registered to print this kind of file";
    case SE_ERR_ASSOCINCOMPLETE: return "the program registered for this kind of file is incomplete";
    case SE_ERR_DDEBUSY:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDETIMEOUT: return "the printing program did not answer";
    case SE_ERR_DLLNOTFOUND: return "a library of the printing program is missing";
    case ERROR_BAD_FORMAT: return "the printing program is not a valid program";
    default: return "the shell refused to print (code " + std::to_string(result) + ")";
    }
}

}  // namespace

// The desktop shell's "print" action on the file: whatever program is
// registered for the file type prints it.
bool printFile(const std::string& fileName, std::string& failureReason) {
    const HINSTANCE started = ::ShellExecuteA(nullptr, "print", fileName.c_str(), nullptr, nullptr, SW_SHOW);
    const INT_PTR result = reinterpret_cast<INT_PTR>(started);
    if (result > 32) return true;
    failureReason = shellFailureReason(result);
    return false;
}

}  // namespace platform
