#pragma once

class Form;

// The program's windows, by which one window opens another.
enum class WindowId { Main, AOpen, OpenTimer, Timermemo, Timermemo1, Timermemo2, Timermemo3, Mainmove, Option1 };

// How windows open and close one another without knowing each other's
// classes: load creates a window hidden and runs its load handler once;
// show loads it first if needed; unload is a close by the program. Each
// window exists at most once.
class Navigation
{
public:
    virtual Form *load(WindowId id) = 0;
    virtual Form *show(WindowId id) = 0;
    // Shows the window modal and returns once it is unloaded.
    virtual void showModal(WindowId id) = 0;
    // Asking whether a window is visible loads it first.
    virtual bool isVisible(WindowId id) = 0;
    virtual bool isLoaded(WindowId id) const = 0;
    // False when the window refused to go.
    virtual bool unload(WindowId id) = 0;
    // Unloads every window in the program's quit order and ends the run.
    virtual void quit() = 0;

protected:
    ~Navigation() = default;
};
