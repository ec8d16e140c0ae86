#pragma once
// User-facing error messages, named by message-table id. CVeyErrorOut shows each text at once in
// a message box; CVeyBufferedErrorOut keeps one text until the application's idle pass flushes
// it, so that a failure reported by several layers of one operation reaches the user once, after
// the operation has finished. (Script diagnostics go to the trace output instead.)
#include "toolkit/gt/TextOut.h"

#include <cstdint>
#include <string>

class CVeyErrorOut : public GT::ATextOut
{
public:
    static CVeyErrorOut& GetInstance();
    // The message's text in the current language (empty for an unknown id), shown at once.
    static void ShowMessage(int32_t messageId);

protected:
    // An OK box with the warning symbol.
    void WriteRaw(const std::string& text) override;
};

class CVeyBufferedErrorOut : public GT::ATextOut
{
public:
    enum Mode : int32_t
    {
        kKeepFirst = 0,    // a text is stored only while the buffer is empty
        kKeepLatest = 1,   // a text replaces the waiting one
    };

    static CVeyBufferedErrorOut& GetInstance();
    // The message's text in the current language, kept until the next Flush.
    static void ShowMessage(int32_t messageId);

    // Shows the waiting text, if any, through CVeyErrorOut and empties the buffer. The buffer is
    // emptied before the box opens: the box runs its own event loop, in which the idle pass may
    // call Flush again.
    void Flush();

    void SetMode(int32_t mode) { m_mode = mode; }
    int32_t GetMode() const { return m_mode; }
    const std::string& GetBufferedText() const { return m_text; }

protected:
    // Any other mode drops the text.
    void WriteRaw(const std::string& text) override;

private:
    int32_t m_mode = kKeepLatest;
    std::string m_text;
};

// Folders shared by the framework and the application, set at start-up.
class CVeyFolders
{
public:
    static CVeyFolders& GetInstance();

    // Where the framework keeps "WindowPosition.txt" and the application its view state.
    std::string userDataFolder;
    // Not set by the editor.
    std::string secondFolder;
    // The script folder, written with forward slashes; the initial data file is read from it.
    std::string scriptFolder;
};
