#pragma once
// The patches of one document, read from and written to librarian files, with one level of undo.
#include "librarian/app/Data.h"

#include <functional>
#include <string>

class CImageDocument
{
public:
    // Shows a message-table message to the user. The application installs its own at start-up;
    // until then messages are dropped.
    using MessageShower = std::function<void(int messageId)>;
    // Installs `shower` for every document and returns the one it replaces.
    static MessageShower SetMessageShower(MessageShower shower);

    CImageDocument() = default;
    virtual ~CImageDocument() = default;

    CData& GetCurrent() { return m_current; }
    const CData& GetCurrent() const { return m_current; }

    // Before an edit: with mode 0 or 1 the current patches are copied aside and Undo is offered;
    // any other mode forgets the copy (the lists do not edit user patches then).
    void RememberUndo(int mode);
    // Exchanges the current patches with the copy; Undo stays offered, so a second Undo brings
    // the undone state back. Nothing without a copy.
    void Undo();
    // Offered only in mode 1.
    bool CanUndo(int mode) const { return mode == 1 && m_undoAvailable; }
    // After a transfer into the current patches failed: the copy taken before it becomes the
    // current patches again and is forgotten, so a later Undo cannot bring the broken state back.
    void RestoreRemembered();

    // Replaces the current patches with those of the file. A file that cannot be read whole
    // changes nothing: message 4 (cannot open, record cut short) or 3 (not a librarian file,
    // or corrupt), result false.
    bool ReadFile(const std::string& path);
    // Writes the current patches to the file. On failure the previous file is left untouched:
    // message 5, result false.
    bool WriteFile(const std::string& path) const;

private:
    CData m_current;
    CData m_undo;
    bool m_undoAvailable = false;
};

// The data of a librarian-file document; starts empty.
class CFileDocument : public CImageDocument
{
};
