#pragma once
// Creates the process's Qt application object (and so the GUI platform) for code that needs
// windows, fonts or the event loop, puts number formatting into the C locale, and turns a write past
// the file-size limit into a failed write instead of the end of the process.
#include <memory>
#include <string>

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

// The program's icon, shown by its windows and its about box, from an image file; false (and the
// icon unchanged) when the file cannot be read as an image.
bool SetProgramIcon(const std::string& imagePath);
