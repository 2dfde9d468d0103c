#include "store/SystemError.h"

#include <cerrno>
#include <cstring>

namespace SystemError {

QString last()
{
    return of(errno);
}

QString of(unsigned long code)
{
    return QString::fromLocal8Bit(std::strerror(int(code)));
}

} // namespace SystemError
