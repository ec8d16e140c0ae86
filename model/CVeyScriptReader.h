#pragma once
// Reads the script into the definition lists of CVeyScriptDefinitions. Reading only appends.
#include "model/CVeyElementDefinition.h"

#include <iosfwd>
#include <string>

class CVeyScriptReader
{
public:
    static CVeyScriptReader& GetInstance();

    // Reads the file at `path`; false when it cannot be opened or reading fails.
    bool Load(const std::string& path);
    // Reads the whole stream. CR LF pairs read as LF. False on an unknown top-level tag, after
    // printing "Unknown tag. : <tag>" to the trace output; definitions read before stay. A script
    // that exhausts memory fails too.
    bool Read(std::istream& stream);
    // As Read, over text already in memory (CR LF pairs are taken as they stand).
    bool ReadText(const std::string& text);

    // Fills `definition` from an element's body: "type" children set the type name, every other
    // child appends an attribute. Always true.
    bool ReadElement(const std::string& body, CVeyElementDefinition& definition);
    // As ReadElement, but "struct"/"panel" children become structural children and
    // "value"/"control" children leaf children. Always true.
    bool ReadType(const std::string& body, CVeyTypeDefinition& definition);

private:
    bool ReadStream(std::istream& stream);
};
