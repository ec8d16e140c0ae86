#pragma once
// The initial data file: its first patch is the template that every initialised patch copies.
// It is loaded once at start-up, before any patch is initialised, and never written.
#include "librarian/app/ImageDocument.h"

#include <string>

class CPatch;

class CInitialFileDocument
{
public:
    static CInitialFileDocument& GetInstance();

    // "<program folder>/Script/Q9EL/InitialData.q9l".
    static std::string MakePath(const std::string& programDirectory);

    // Reads the file and accepts it when it holds at least one patch and its first patch fits the
    // patch layout exactly. False when refused (the reader has shown its message, if any).
    bool Load(const std::string& path);
    bool IsAccepted() const { return m_accepted; }
    // The template, null unless a file was accepted.
    const CPatch* GetFirstPatch() const;

    // Forgets the loaded file, as before start-up.
    void Reset();

private:
    CInitialFileDocument();

    CFileDocument m_document;
    bool m_accepted = false;
};
