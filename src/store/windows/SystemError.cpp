#include "store/SystemError.h"
#include "store/Texts.h"

#include <windows.h>

namespace SystemError {

QString last()
{
    return of(GetLastError());
}

QString of(unsigned long code)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    // Eight hexadecimal digits for every code: an HRESULT is known only in
    // that form, and Microsoft's list of error codes gives each one in it.
    const QString error = length ? QString::fromWCharArray(text, int(length)).trimmed()
                                 : Texts::systemError(QStringLiteral("0x%1").arg(code, 8, 16, QLatin1Char('0')));
    LocalFree(text);
    return error;
}

} // namespace SystemError
