#pragma once

#include <QString>

// What became of a write: an empty error means it is on disk.
struct Written {
    QString error;
    bool ok() const { return error.isEmpty(); }
};
