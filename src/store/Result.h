#pragma once

#include <QString>

#include <tuple>

// What an operation of the store or the platform that can fail gives back,
// the one shape they all use: why it failed, in words for the user and
// empty when it worked, beside what it produced (which may say what could
// be done, where the operation failed in part). A result dropped unread
// does not build (-Werror=unused-result); a caller that truly has nothing
// to do with a failure says so: std::ignore = operation();
template <typename T = void>
struct [[nodiscard]] Result {
    T value{};
    QString error;
    bool ok() const { return error.isEmpty(); }
};

template <>
struct [[nodiscard]] Result<void> {
    QString error;
    bool ok() const { return error.isEmpty(); }
};
