#pragma once
// Registration of a document type with the desktop, in place of the shell's file-type keys: a
// shared-mime-info package that maps the extension to a MIME type, and a desktop entry that opens
// files of that type with the program. Both live under the XDG data folder.
#include <string>

struct SDesktopDocumentType
{
    std::string extension;     // ".q9e"
    std::string typeId;        // "TalvarixEditor.Document"
    std::string description;   // "Talvarix Editor Document"
    std::string programPath;   // the program file that opens the documents
    std::string programName;   // shown by the desktop as the application's name
};

// "application/x-talvarixeditor.document" for the type id "TalvarixEditor.Document".
std::string DesktopMimeType(const std::string& typeId);
// <data>/mime/packages/<id>.xml and <data>/applications/<id>.desktop of a type id.
std::string DesktopMimePackagePath(const std::string& typeId);
std::string DesktopEntryPath(const std::string& typeId);

// Writes both files (each replaced whole, never left half-written); false when the type is not
// usable (no extension, no type id, no program file) or a file cannot be written.
bool RegisterDesktopDocumentType(const SDesktopDocumentType& type);
// Removes both files of the type id; files of other types for the same extension stay.
bool RemoveDesktopDocumentType(const SDesktopDocumentType& type);

// The data folder that receives the files; empty returns to the XDG data folder. While another
// folder is set, the desktop's caches are not refreshed (tests).
void SetDesktopDataFolder(const std::string& folder);
