#pragma once
// The editor's bundled script from the build tree's script folder, read as the editor reads it:
// all four managers, the editor's resource factory over the folder's pictures, and the editor's
// factory of the instrument's own control types. Everything is torn down again on destruction.
#include "editor/controls/CControlFactory.h"

#include <cstdint>
#include <functional>
#include <string>

class CVeyControl;
class CVeyStruct;

class CBundledScript
{
public:
    CBundledScript();
    ~CBundledScript();
    CBundledScript(const CBundledScript&) = delete;
    CBundledScript& operator=(const CBundledScript&) = delete;

    // The folder the build made (with its trailing '/').
    static std::string Folder();

    // Reads the script and creates the managers; false when either fails.
    bool Read();
    // Reads another script file the same way (for damaged copies of the bundled one).
    bool ReadFile(const std::string& path);

    // The control of that name anywhere in a root panel (child panels included), or null.
    static CVeyControl* FindControl(const std::string& rootPanel, const std::string& name);
    // The first control of a root panel (child panels included) that `match` accepts, or null.
    static CVeyControl* FindControlWhere(const std::string& rootPanel,
                                         const std::function<bool(const CVeyControl&)>& match);

    // Packed begin of a struct or value's leaf in the instrument's address space.
    static int32_t AbsoluteBegin(const CVeyStruct& s);

private:
    CControlFactory m_controls;
};
