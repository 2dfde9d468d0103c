#pragma once

#include <QString>

// What an operation that can fail gives back, the one shape the store and
// the platform use: why it failed, worded for the user and empty when it
// worked, beside what it produced.
template <typename T = void>
struct Result {
    T value{};
    QString error;
    bool ok() const { return error.isEmpty(); }
};

template <>
struct Result<void> {
    QString error;
    bool ok() const { return error.isEmpty(); }
};
