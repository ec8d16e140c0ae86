#pragma once
// Creates the process's Qt application object (and so the GUI platform) for code that needs
// windows, fonts or the event loop, and puts number formatting into the C locale.
#include <memory>

class CGuiBootstrap
{
public:
    // argc and argv must outlive the object, as Qt requires.
    CGuiBootstrap(int& argc, char** argv);
    ~CGuiBootstrap();
    CGuiBootstrap(const CGuiBootstrap&) = delete;
    CGuiBootstrap& operator=(const CGuiBootstrap&) = delete;

    // True while a Qt application object exists in this process.
    static bool Exists();

    // The name of the Qt platform in use ("offscreen", "xcb", ...).
    static const char* PlatformName();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Number parsing and printing must not follow the user's locale: the script, the settings and
// the files all write numbers with a '.' decimal point.
void UseCNumericLocale();
