#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/Platform.h"

namespace platform {

namespace {

constexpr DWORD CONFIRM_MILLISECONDS = 5000;
// Lets the editors that print text files read it as UTF-8.
constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";

// ShellExecute's results of 32 and below are these failures.
std::string shellFailureReason(INT_PTR result) {
    switch (result) {
    case 0:
    case SE_ERR_OOM: return "Kein Speicher frei";
    case SE_ERR_FNF:
    case SE_ERR_PNF: return "Druckdatei nicht gefunden";
    case SE_ERR_ACCESSDENIED: return "Zugriff verweigert";
    case SE_ERR_SHARE: return "Druckdatei ist in Gebrauch";
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE: return "Kein Programm zum Drucken von Textdateien eingerichtet";
    case SE_ERR_DDEBUSY:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDETIMEOUT: return "Das Druckprogramm antwortet nicht";
    case SE_ERR_DLLNOTFOUND: return "Dem Druckprogramm fehlt eine Bibliothek";
    default: return "Die Druckfunktion lehnte ab (Code " + std::to_string(result) + ")";
    }
}

// The job in the temporary directory under the list's name, which the
// printing program shows as the job's title; the next job of the list
// overwrites it, so no files pile up.
std::wstring writeJobFile(std::string_view utf8Text, std::string_view jobTitle) {
    wchar_t directory[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, directory);
    if (length == 0 || length > MAX_PATH) return {};
    std::wstring path(directory, length);
    for (char character : jobTitle) path += static_cast<wchar_t>(static_cast<unsigned char>(character));
    path += L".txt";
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(UTF8_MARK);
    bytes.append(utf8Text);
    DWORD written = 0;
    const bool whole = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    ::CloseHandle(file);
    return whole ? path : std::wstring();
}

}  // namespace

// The desktop shell's "print" action on a text file: whatever program is
// registered for text files prints it.
PrintResult printText(std::string_view utf8Text, std::string_view jobTitle) {
    const std::wstring path = writeJobFile(utf8Text, jobTitle);
    if (path.empty()) return {PrintOutcome::Refused, "Druckdatei nicht anlegbar"};
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = L"print";
    request.lpFile = path.c_str();
    request.nShow = SW_HIDE;
    if (!::ShellExecuteExW(&request))
        return {PrintOutcome::Refused, shellFailureReason(reinterpret_cast<INT_PTR>(request.hInstApp))};
    // A program already running may take the job without a new process.
    if (request.hProcess == nullptr) return {PrintOutcome::Accepted, {}};
    const DWORD waited = ::WaitForSingleObject(request.hProcess, CONFIRM_MILLISECONDS);
    if (waited != WAIT_OBJECT_0 && ::TerminateProcess(request.hProcess, 1))
        ::WaitForSingleObject(request.hProcess, CONFIRM_MILLISECONDS);
    ::CloseHandle(request.hProcess);
    if (waited != WAIT_OBJECT_0)
        return {PrintOutcome::NotConfirmed, "Das Druckprogramm hat nicht innerhalb von 5 s bestaetigt"};
    return {PrintOutcome::Accepted, {}};
}

}  // namespace platform
