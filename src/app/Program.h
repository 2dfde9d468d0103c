#pragma once

#include "Windows.h"
#include "store/ProgramPlaces.h"
#include "store/Values.h"

class DataFolder;
class Platform;

// The program over a data folder and a platform: its values and its
// windows, each window given what it uses. main() runs one; the tests
// drive one over a temporary folder and the fake platform.
class Program
{
public:
    Program(const DataFolder &data, Platform &platform, const ProgramPlaces &places);

    // Makes Main, runs its start-up step and shows it. False when the run
    // ended meanwhile (the session's end came while the start-up memo was
    // up): there is then no event loop to start.
    bool start();

    Values values;
    Windows windows;
};
